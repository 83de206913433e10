import {element} from '../common/dom.js';
import {send} from '../connection/queue.js';
import {EditField} from './edit.js';

// A look-up field (a code box): an edit with a button that opens the
// module's finder.
export class LookupField extends EditField {
  constructor(c, surface) {
    const wrapper = element('div');
    super(c, surface, wrapper);
    const button = element('button', {
      type: 'button',
      class: 'finder-button',
      tabindex: '-1',
      'aria-label': 'Find',
      onmousedown: (e) => e.preventDefault(),
      onclick: () => this.openFinder(),
    });
    button.textContent = '…';
    this.button = button;
    wrapper.append(this.input, button);
  }

  update(c) {
    super.update(c);
    this.button.disabled = c.enabled === false;
  }

  openFinder() {
    if (!this.usable()) return;
    this.commit();
    send(`click ${this.command}`);
  }
}
