// Drawing the station's state: the main window, the dialogs, the question,
// and where the focus goes.  The state comes whole when the stream
// connects and as patches after that; each part of the page compares its
// piece of the state with the one it drew and redraws only what changed.

import {arrangeModality, focusStation, keepFocus, renderDialogs} from '../dialog/windows.js';
import {renderMain} from '../main/main-window.js';
import {showStatus} from '../main/status.js';
import {QUESTION_WINDOWS, renderQuestion} from '../questions/questions.js';
import {eventOf, reportEvents} from './events.js';
import {patched} from './patch.js';
import {app} from './state.js';
import {caughtUp} from './stream.js';

const LOST = 'The connection to the station was lost; trying again.';

// After these the station's focus is where the person's should be: a
// dialog opened or closed, a page came to the front, or a question was asked.
function focusMoved(before, events, after) {
  const movesFocus = (event) => event === 'dialog' || QUESTION_WINDOWS.has(event);
  if (events.some((e) => movesFocus(eventOf(e).event))) return true;
  if (!before) return true;
  if (Boolean(before.question) !== Boolean(after.question)) return true;
  const key = (s) => s.dialogs.map((d) => `${d.hwnd}:${d.currentPage ?? ''}`).join(',');
  return key(before) !== key(after);
}

export function applyState(state, {follow = false} = {}) {
  app.state = state;
  document.body.dataset.seq = String(state.seq ?? 0);
  renderMain(state);
  renderDialogs(state);
  renderQuestion(state);
  arrangeModality(state);
  if (follow)
    focusStation();
  else
    keepFocus();
  document.body.dataset.ready = '1';
}

// The whole state, as each connection of the stream starts: every part is
// new, so everything is drawn again.
export function drawWhole(state) {
  const status = document.getElementById('status-message');
  if (status.textContent === LOST) showStatus('');
  applyState(state, {follow: focusMoved(app.state, [], state)});
}

// The events since the last message, then the state they left.
export function drawPatch({events = [], patch = []}) {
  const before = app.state;
  const state = patched(before, patch);
  reportEvents(events);
  applyState(state, {follow: focusMoved(before, events, state)});
}

export function drawLost() {
  showStatus(LOST, 'error');
}

// A command's answer: once the stream has brought its change, the focus
// goes where the station's went (`follow`, after a key) and a question
// whose answer was refused is asked again.
export async function drawAnswer(answer, {follow}) {
  await caughtUp(answer.seq);
  if (app.state) applyState(app.state, {follow});
}
