// The station's state as it changes, from the server's stream: the whole
// state on every connection (the first, and each after a lost one), then
// a patch with the events after every change.  A command's answer waits
// here until the stream has brought what the command did.

// How long to wait before opening again a stream that the server refused.
const RETRY_MS = 2000;

let seq = null;    // the latest event number the stream brought; null while it is lost
let waiters = [];  // {seq, resolve}: answers waiting for the stream

// `show.state(state)` and `show.patch(message)` draw what comes (a patch
// that does not fit makes the stream start again with the whole state);
// `show.lost()` says the stream is gone.
export function followStation(show) {
  const source = new EventSource('/api/stream');
  const restart = () => {
    source.close();
    seq = null;
    followStation(show);
  };
  source.addEventListener('state', (e) => {
    const state = JSON.parse(e.data);
    seq = state.seq ?? 0;
    show.state(state);
    release();
  });
  source.addEventListener('patch', (e) => {
    const message = JSON.parse(e.data);
    try {
      show.patch(message);
    } catch (error) {
      console.error('a patch that does not fit the state:', error);
      return restart();
    }
    seq = Math.max(seq ?? 0, message.seq ?? 0);
    release();
  });
  source.addEventListener('error', () => {
    seq = null;
    show.lost();
    // The browser connects again by itself, except after an answer that
    // was no stream at all (the server busy): then the page does.
    if (source.readyState === EventSource.CLOSED) setTimeout(restart, RETRY_MS);
  });
}

function release() {
  const ready = waiters.filter((w) => seq !== null && seq >= w.seq);
  if (!ready.length) return;
  waiters = waiters.filter((w) => !ready.includes(w));
  for (const w of ready) w.resolve();
}

// Lets the messages that have already arrived be dispatched first.
function afterArrived() {
  return new Promise((resolve) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => resolve();
    channel.port2.postMessage(null);
  });
}

// Resolves once the stream has brought the events up to `until` (the last
// event of a command, which its answer names) and whatever message had
// already arrived: a change that raised no event (typed text, a focus
// move) comes in a message that the server sent before the answer.  While
// the stream is lost this waits for the next connection's state.
export async function caughtUp(until) {
  await new Promise((resolve) => {
    waiters.push({seq: Number.isInteger(until) ? until : 0, resolve});
    release();
  });
  await afterArrived();
}
