import {element} from '../common/dom.js';
import {send} from '../connection/queue.js';
import {ControlView} from './view.js';

// A standard combo box as a drop-down list.
export class ComboBox extends ControlView {
  constructor(c, surface) {
    const select = element('select');
    super(c, surface, select, select);
    this.select = select;
    // The list shows the choice the station kept, which a refusal leaves
    // as it was: no change comes to draw then.
    select.addEventListener('change', () => {
      send(`select ${this.command} ${select.selectedIndex}`).then(() => this.update(this.control));
    });
  }

  update(c) {
    const items = c.items ?? [];
    const signature = JSON.stringify(items);
    if (this.items !== signature) {
      this.items = signature;
      this.select.replaceChildren(...items.map((text) => element('option', {}, text)));
    }
    this.select.disabled = c.enabled === false;
    this.select.selectedIndex = c.selection ?? -1;
  }
}
