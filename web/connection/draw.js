// Drawing a state the station sent: the main window, the dialogs, the
// question, and where the focus goes.

import {arrangeModality, focusStation, keepFocus, renderDialogs} from '../dialog/windows.js';
import {renderMain} from '../main/main-window.js';
import {QUESTION_WINDOWS, renderQuestion} from '../questions/questions.js';
import {eventOf, reportEvents} from './events.js';
import {app} from './state.js';

// After these the station's focus is where the person's should be: a
// dialog opened or closed, a page came to the front, or a question was asked.
function focusMoved(before, answer) {
  const events = answer.events ?? [];
  const movesFocus = (event) => event === 'dialog' || QUESTION_WINDOWS.has(event);
  if (events.some((e) => movesFocus(eventOf(e).event))) return true;
  if (!before) return true;
  if (Boolean(before.question) !== Boolean(answer.state.question)) return true;
  const key = (s) => s.dialogs.map((d) => `${d.hwnd}:${d.currentPage ?? ''}`).join(',');
  return key(before) !== key(answer.state);
}

export function applyState(state, {follow = false} = {}) {
  app.state = state;
  app.seq = Math.max(app.seq, state.seq ?? 0);
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

// What a command's answer shows: its events, and the state after it
// (connection/queue.js hands every answer here).
export function drawAnswer(answer, {before, follow}) {
  reportEvents(answer.events ?? []);
  if (answer.state) applyState(answer.state, {follow: follow || focusMoved(before, answer)});
}
