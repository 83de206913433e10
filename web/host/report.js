import {element} from '../common/dom.js';
import {showStatus} from '../main/status.js';

// The report printer's PDF opens in a new tab, ready to print; a browser
// that keeps the tab from opening gets a link in the status bar instead.
export function openReport(e) {
  if (!e.url) {
    showStatus(`Report ${e.layout} could not be printed: ${e.error ?? 'no document'}`, 'error');
    return;
  }
  const tab = window.open(e.url, '_blank');
  showStatus(`Report ${e.layout} printed`, 'info');
  if (!tab) {
    const field = document.getElementById('status-message');
    field.append(' ', element('a', {href: e.url, target: '_blank', class: 'report-link'}, 'Open it'));
  }
}
