// The person's keystrokes: the station's keys go to it in the command
// queue, the others stay with the page's fields.

import {enqueue, runCommand} from '../connection/queue.js';
import {app} from '../connection/state.js';
import {viewOf} from '../dialog/surface.js';
import {activeWindow} from '../dialog/windows.js';
import {inHostWindow} from '../host/host-window.js';
import {pageMessage} from '../questions/page-message.js';
import {MODIFIER_KEYS, stationKeyOf} from './keys.js';

// The key goes to the station when a dialog takes input and the control
// with the focus (`node`) does not keep the key for its own text.
function stationTakes(k, node) {
  const name = stationKeyOf(k);
  if (!name || app.question || pageMessage() || !activeWindow() || inHostWindow(node)) return false;
  return !viewOf(node)?.keepsKey(name, node);
}

// Every keystroke passes here (in the capture phase) before the controls
// see it.  A key of the station's waits for its turn in the command queue.
// While keys are on their way, every other keystroke waits its turn too and
// is then played where the station has put the focus meanwhile: Tab and
// then typing fills the next field, and ten quick presses of Down move ten
// rows.
function onKeystroke(e) {
  if (app.replaying || e.defaultPrevented || MODIFIER_KEYS.has(e.key)) return;
  if (!app.keystrokes && !stationTakes(e, e.target)) return;
  e.preventDefault();
  e.stopPropagation();
  const stroke = {
    key: e.key,
    code: e.code,
    ctrlKey: e.ctrlKey,
    shiftKey: e.shiftKey,
    altKey: e.altKey,
    metaKey: e.metaKey,
  };
  const refusalsBefore = app.refusals;
  app.keystrokes += 1;
  enqueue(async () => {
    if (!stationTakes(stroke, document.activeElement)) return replay(stroke);
    // A key meant to follow a command that the station refused is dropped.
    return app.refusals === refusalsBefore ? pressKey(stationKeyOf(stroke)) : null;
  }).finally(() => (app.keystrokes -= 1));
}

// The control the key goes to: the one with the page's focus, else the
// one with the station's.
function keyTarget() {
  const dialog = activeWindow();
  const focused = viewOf(document.activeElement);
  if (focused?.surface.window === dialog && focused.usable()) return focused;
  return dialog?.stationFocus() ?? dialog?.tabStops()[0] ?? null;
}

// What the person typed into the control reaches the station before the
// key, except before Escape: that gives the dialog up, and a text that the
// field refuses must not keep the person from leaving.
async function pressKey(name) {
  const view = keyTarget();
  if (!view) return null;
  const pending = name === 'escape' ? null : view.takePending?.();
  if (pending) {
    const answer = await runCommand(pending.line);
    pending.done?.(answer);
    if (!answer.ok) return answer;
  }
  return runCommand(`key ${view.command} ${name}`, {follow: true});
}

// What Backspace and Delete do to a text, as editing commands.
const TEXT_EDITS = new Map([['Backspace', 'delete'], ['Delete', 'forwardDelete']]);

// A keystroke that waited for its turn, played on the control that has
// the focus now.  Text fields take characters and deletions as typed;
// other controls hear the key as they would have.
function replay(k) {
  const node = document.activeElement;
  const text = node instanceof HTMLInputElement || node instanceof HTMLTextAreaElement;
  const plain = !k.ctrlKey && !k.altKey && !k.metaKey;
  if (text && plain && k.key.length === 1)
    return void document.execCommand('insertText', false, k.key);
  if (text && plain && TEXT_EDITS.has(k.key))
    return void document.execCommand(TEXT_EDITS.get(k.key));
  if (text && k.ctrlKey && k.key.toLowerCase() === 'a') return void node.select();
  app.replaying = true;
  try {
    node?.dispatchEvent(new KeyboardEvent('keydown', {...k, bubbles: true, cancelable: true}));
  } finally {
    app.replaying = false;
  }
}

export function listenToKeys() {
  document.addEventListener('keydown', onKeystroke, true);
}
