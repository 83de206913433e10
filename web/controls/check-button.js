// Check boxes and radio buttons.

import {element} from '../common/dom.js';
import {captionNodes} from '../common/text.js';
import {send} from '../connection/queue.js';
import {kindOf} from './kind.js';
import {ControlView} from './view.js';

let uniqueId = 0;

export class CheckButton extends ControlView {
  constructor(c, surface) {
    const input = element('input', {type: kindOf(c) === 'radio' ? 'radio' : 'checkbox'});
    input.id = `ctl-${++uniqueId}`;
    const label = element('label', { for: input.id
    });
    super(c, surface, element('div', {}, input, label), input);
    this.input = input;
    this.label = label;
    input.addEventListener('click', (e) => {
      // The station decides the new state; the next state shows it.
      e.preventDefault();
      this.press();
    });
  }

  update(c) {
    this.input.disabled = c.enabled === false;
    this.input.checked = Number(c.checked) === 1;
    this.input.indeterminate = Number(c.checked) === 2;
    const caption = String(c.text ?? '');
    if (this.caption !== caption) {
      this.caption = caption;
      this.label.replaceChildren(...captionNodes(caption));
    }
  }

  keepsKey() {
    return false;
  }

  press() {
    if (!this.usable()) return;
    send(`click ${this.command}`);
  }
}
