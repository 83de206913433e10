// The station's events that the page reports or acts on.

import {activeWindow} from '../dialog/windows.js';
import {openHelp} from '../host/help.js';
import {openReport} from '../host/report.js';
import {isSystemEditor, openSystemEditor} from '../host/sysedit.js';
import {showStatus, updateNotice} from '../main/status.js';
import {tellRefusedDialog} from '../questions/page-message.js';

export function eventOf(entry) {
  return entry && typeof entry.event === 'object' && entry.event ? entry.event : entry;
}

export function reportEvents(entries) {
  tellRefusedDialog(entries);
  for (const entry of entries) {
    const e = eventOf(entry);
    switch (e.event) {
      case 'update':
        showStatus(updateNotice([e]), 'notice');
        break;
      case 'engine-error':
        showStatus('This window could not be shown: the program\'s files may be damaged.', 'error',
                   e.message);
        break;
      case 'help':
        openHelp(e);
        break;
      case 'execute':
        if (isSystemEditor(e.command))
          openSystemEditor();
        else
          showStatus(`The module asked to run ${e.command}`, 'info');
        break;
      case 'report':
        openReport(e);
        break;
      case 'beep':
        activeWindow()?.flash();
        break;
      case 'chart-written':
        showStatus(
            `Chart of accounts for the time-recording link written to ${e.file} ` +
                `(${e.accounts} accounts)`,
            'info');
        break;
      default:
        break;
    }
  }
}
