// A message of the page's own, over everything, and the one it gives when
// another station's multi-user action keeps a dialog from opening.

import {eventOf} from '../connection/events.js';
import {app} from '../connection/state.js';
import {arrangeModality, focusStation} from '../dialog/windows.js';
import {MessageBox} from './message.js';

let notice = null;  // the page's message shown now, if any

export function pageMessage() {
  return notice;
}

// A message of the page's own, drawn as the station's message boxes are;
// OK, Enter or Escape closes it, and nothing goes to the station.
class PageMessage extends MessageBox {
  answer() {
    closePageMessage(this);
  }
}

export function showPageMessage(text) {
  notice?.remove();
  const q = {event: 'message', kind: 2, text, buttons: ['ok'], owner: null};
  notice = new PageMessage(q, app.state ?? {});
  const layer = document.getElementById('question-layer');
  layer.hidden = false;
  layer.append(notice.root);
  notice.place();
  notice.focusFirst();
  arrangeModality(app.state ?? {});
}

function closePageMessage(box) {
  box.remove();
  if (notice !== box) return;
  notice = null;
  document.getElementById('question-layer').hidden = !app.question;
  arrangeModality(app.state ?? {});
  focusStation();
}

// The dialog that another station's action kept from opening: its Init
// asked for the action, was refused and closed the dialog unseen.
function refusedDialog(entries) {
  const events = entries.map(eventOf);
  const refusal = events.find((e) => e.event === 'action' && e.action === 'refused');
  const closed = events.find((e) => e.event === 'dialog' && e.action === 'closed' && !e.shown);
  return refusal && closed ? {refusal, dialog: closed.dialog} : null;
}

function dialogTitle(id) {
  for (const group of app.state?.menu ?? [])
    for (const item of group.items ?? [])
      if (item.dialog === id) return item.title;
  return '';
}

function whoHolds(holder) {
  if (!holder?.station) return 'Another station';
  const station = `Station ${holder.station}`;
  return holder.user ? `${station} (user ${holder.user})` : station;
}

function tellRefusal({refusal, dialog}) {
  const title = dialogTitle(dialog) || refusal.name || `Dialog ${dialog}`;
  showPageMessage(
      `${title} cannot be opened now: ${whoHolds(refusal.holder)} is using it. ` +
      'Try again when it has finished.');
}

// Tells the person when the events of an answer show a dialog that was
// refused its multi-user action.
export function tellRefusedDialog(entries) {
  const refused = refusedDialog(entries);
  if (refused) tellRefusal(refused);
}
