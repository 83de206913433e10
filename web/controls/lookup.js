import {element} from '../common/dom.js';
import {send} from '../connection/queue.js';
import {DatePicker, parseDate} from './date-picker.js';
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
    this.input.addEventListener('keydown', (e) => {
      if (e.key !== 'F4' || !this.control.date) return;
      e.preventDefault();
      this.openCalendar();
    });
  }

  update(c) {
    super.update(c);
    this.button.disabled = c.enabled === false;
  }

  // A date field's button offers a calendar, whose choice is typed into
  // the field; an account code box's asks the module for its finder.
  openFinder() {
    if (!this.usable()) return;
    if (this.control.date) return this.openCalendar();
    this.commit();
    send(`click ${this.command}`);
  }

  openCalendar() {
    const typed = (text) => {
      this.input.value = text;
      this.dirty = true;
      this.commit();
    };
    new DatePicker(this.node, parseDate(this.input.value), typed, () => this.focus());
  }

  // F4 opens a date field's calendar here, not the station's finder.
  keepsKey(name, node) {
    return (name === 'f4' && this.control.date) || super.keepsKey(name, node);
  }
}
