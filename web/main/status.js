// The status bar's message field: notices, and refusals in words meant
// for the person.

import {eventOf} from '../connection/events.js';
import {app} from '../connection/state.js';
import {kindOf} from '../controls/kind.js';

// `detail`: the station's own words, kept for whoever looks into it.
export function showStatus(text, kind = 'info', detail = '') {
  const field = document.getElementById('status-message');
  field.textContent = text;
  field.dataset.kind = kind;
  field.dataset.detail = detail;
  field.title = text;
}

// An error stays until the next thing the person does succeeds.
export function clearError() {
  if (document.getElementById('status-message').dataset.kind === 'error') showStatus('');
}

// The control a command line names (`VERB DIALOG CONTROL ...`), if shown.
function controlOfLine(line) {
  const [, dialog, id] = line.split(' ').map(Number);
  const d = (app.state?.dialogs ?? []).findLast((x) => x.dialog === dialog);
  return d?.controls?.find((c) => c.id === id) ?? null;
}

// What the station's refusal of a command means to the person.
export function refusalText(line, error) {
  const character = /("[^"]*") \(U\+[0-9A-F]+\) has no place in the Windows code page/.exec(error);
  if (character) return `The character ${character[1]} cannot be stored in this company's data.`;
  if (/takes no input while dialog/.test(error)) return 'Finish with the window in front first.';
  if (/Cancel button is disabled/.test(error)) return 'This window cannot be closed just now.';
  const verb = line.split(' ', 1)[0];
  const typed = /"(?:[^"\\]|\\.)*"$/.exec(line)?.[0];
  if ((verb === 'type' || verb === 'cell') && typed) {
    const c = verb === 'type' ? controlOfLine(line) : null;
    const number = c && (c.number || kindOf(c) === 'calc');
    return number ? `This field takes a number: ${typed} is not one it can hold.` :
                    `This field cannot take ${typed}.`;
  }
  if (/is (hidden|disabled)/.test(error)) return 'That is not available just now.';
  return 'That could not be done just now.';
}

// What another station's change notice says changed, by its code.
const UPDATE_NOTICES = new Map([
  [274, 'Another station changed the company\'s settings; the values shown were reloaded.'],
  [275, 'Another station changed the control accounts or a code table; ' +
            'the values shown were reloaded.'],
]);

export function updateNotice(updates) {
  const texts = new Set(updates.map((e) => UPDATE_NOTICES.get(eventOf(e).code) ??
                                          'Another station changed the company\'s data.'));
  return [...texts].join(' ');
}
