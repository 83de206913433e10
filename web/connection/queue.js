// The one queue of the page's commands, sent one at a time in order.

import {clearError, refusalText, showStatus} from '../main/status.js';
import {postCommand} from './server.js';
import {app} from './state.js';

// What the page makes of each answer (connection/draw.js), which the
// command's turn waits for: the queue only sends, so that the controls that
// send need none of the drawing.
let showAnswer = async () => {};

export function onAnswer(show) {
  showAnswer = show;
}

function markBusy() {
  document.body.toggleAttribute('data-busy', app.pending > 0);
}

// Runs tasks one after the other: a command waits for the one before it,
// so a field's text always reaches the station before the click after it.
export function enqueue(task) {
  app.pending += 1;
  markBusy();
  const run = app.tail.then(task)
                  .catch((error) => {
                    showStatus(`The server did not answer: ${error.message ?? error}`, 'error');
                    return null;
                  })
                  .finally(() => {
                    app.pending -= 1;
                    markBusy();
                  });
  app.tail = run;
  return run;
}

// Sends a command line; `line` may be a function that builds it when its
// turn comes (null: nothing to send any more).  A command queued behind one
// that the station refuses is dropped: it was meant to follow it, as the
// click on OK follows the text typed into a field.
export function send(line) {
  const refusalsBefore = app.refusals;
  return enqueue(async () => {
    if (app.refusals !== refusalsBefore) return null;
    const text = typeof line === 'function' ? line() : line;
    return text ? runCommand(text) : null;
  });
}

// `follow`: the page's focus goes where the station's went, as after a key.
export async function runCommand(line, {follow = false} = {}) {
  const answer = await postCommand(line);
  if (answer.ok) {
    clearError();
  } else {
    app.refusals += 1;
    showStatus(refusalText(line, answer.error ?? ''), 'error', answer.error);
  }
  await showAnswer(answer, {follow});
  return answer;
}
