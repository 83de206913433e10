import {element} from '../common/dom.js';
import {captionNodes} from '../common/text.js';
import {BS_DEFPUSHBUTTON, BS_TYPEMASK, styleOf} from '../common/win32.js';
import {send} from '../connection/queue.js';
import {ControlView} from './view.js';

export class PushButton extends ControlView {
  constructor(c, surface) {
    const button = element('button', {type: 'button'});
    super(c, surface, button, button);
    button.addEventListener('click', () => this.press());
  }

  update(c) {
    this.node.disabled = c.enabled === false;
    this.node.classList.toggle('default', (styleOf(c) & BS_TYPEMASK) === BS_DEFPUSHBUTTON);
    const caption = String(c.text ?? '');
    if (this.caption !== caption) {
      this.caption = caption;
      this.node.replaceChildren(...captionNodes(caption));
    }
  }

  press() {
    if (!this.usable()) return;
    const window = this.surface.window;
    send(() => (window.stillOpen() ? `click ${this.command}` : null));
  }

  keepsKey() {
    return false;
  }
}
