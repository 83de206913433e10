// Change notices from other stations.

import {clearError, showStatus, updateNotice} from '../main/status.js';
import {applyState} from './draw.js';
import {MAIN_WINDOW_EVENTS, eventOf} from './events.js';
import {enqueue} from './queue.js';
import {getJSON} from './server.js';
import {app} from './state.js';

// Waits for the station's events; another station's change notice has
// already reloaded the records, so the page fetches the state again.
export async function watchEvents() {
  let failures = 0;
  for (;;) {
    try {
      const answer = await getJSON(`/api/events?since=${app.seq}`);
      if (failures) clearError();
      failures = 0;
      const entries = answer.events ?? [];
      const updates = entries.filter((e) => eventOf(e).event === 'update');
      const unseen = entries.filter((e) => (e.seq ?? 0) > (app.state?.seq ?? 0));
      const mainChanged = unseen.some((e) => MAIN_WINDOW_EVENTS.has(eventOf(e).event));
      const restarted = (answer.seq ?? 0) < app.seq;
      app.seq = restarted ? answer.seq ?? 0 : Math.max(app.seq, answer.seq ?? 0);
      if (updates.length || restarted || mainChanged || (unseen.length && app.pending === 0)) {
        await enqueue(async () => applyState(await getJSON('/api/state')));
        if (updates.length) showStatus(updateNotice(updates), 'notice');
      }
    } catch {
      failures += 1;
      showStatus('The connection to the station was lost; trying again.', 'error');
      await new Promise((resolve) => setTimeout(resolve, Math.min(1000 * failures, 5000)));
    }
  }
}
