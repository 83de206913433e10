import {element} from '../common/dom.js';
import {app} from '../connection/state.js';
import {HostWindow} from './host-window.js';

const HELP_CONTEXT = 1;
const HELP_QUIT = 2;

// Help: one window whose topic follows the module's WinHelp calls.
class HelpWindow extends HostWindow {
  constructor() {
    super('help-window', 'VX70 Help', () => closeHelp());
    this.frame = element('iframe', {class: 'help-topic', title: 'Help topic'});
    this.body.append(this.frame);
  }

  show(url) {
    this.frame.src = url;
  }
}

function helpUrl(e) {
  const context = Number(e.data);
  return e.command === HELP_CONTEXT && Number.isInteger(context) ? `/help/context/${context}`
                                                                 : '/help/index.html';
}

export function openHelp(e) {
  if (e.command === HELP_QUIT) return closeHelp();
  app.help ??= new HelpWindow();
  app.help.show(helpUrl(e));
}

function closeHelp() {
  app.help?.dispose();
  app.help = null;
}
