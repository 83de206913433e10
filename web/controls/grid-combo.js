import {element} from '../common/dom.js';
import {send} from '../connection/queue.js';
import {ControlView} from './view.js';

// The engine's grid-combo as a list: a field showing the chosen row with a
// drop-down grid of all the rows.
export class GridCombo extends ControlView {
  constructor(c, surface) {
    const field = element('div', {class: 'gc-field', role: 'combobox', 'aria-expanded': 'false'});
    const text = element('span', {class: 'gc-text'});
    const arrow = element(
        'button', {type: 'button', class: 'gc-arrow', tabindex: '-1', 'aria-label': 'Open'});
    field.append(text);
    const node = element('div', {}, field, arrow);
    super(c, surface, node, field);
    this.field = field;
    this.text = text;
    this.arrow = arrow;
    this.dropdown = null;
    field.addEventListener('mousedown', (e) => {
      e.preventDefault();
      field.focus();
      this.toggle();
    });
    arrow.addEventListener('mousedown', (e) => {
      e.preventDefault();
      field.focus();
      this.toggle();
    });
    field.addEventListener('keydown', (e) => this.onKey(e));
    field.addEventListener('blur', () => this.closeList());
  }

  update(c) {
    const items = c.items ?? [];
    const selection = c.selection ?? -1;
    this.text.textContent =
        selection >= 0 && selection < items.length ? items[selection] : c.text ?? '';
    this.field.setAttribute('aria-disabled', String(c.enabled === false));
    this.field.setAttribute('aria-label', this.text.textContent);
    this.arrow.disabled = c.enabled === false;
    if (this.dropdown) this.fillList();
  }

  toggle(byKey = false) {
    if (!this.usable()) return;
    if (this.dropdown)
      this.closeList();
    else
      this.openList(byKey);
  }

  // Opening fetches every row and tells the module, as a click on the arrow
  // or F4 does.  The list shows the station's choice, which the arrows move.
  openList(byKey) {
    // Fixed on the page, so that the list may reach past the dialog's edge.
    const r = this.node.getBoundingClientRect();
    this.dropdown = element('div', {class: 'gc-list sunken-panel', role: 'listbox'});
    this.dropdown.style.left = `${r.left}px`;
    this.dropdown.style.top = `${r.bottom}px`;
    this.dropdown.style.minWidth = `${r.width}px`;
    document.body.append(this.dropdown);
    this.field.setAttribute('aria-expanded', 'true');
    this.fillList();
    send(byKey ? `key ${this.command} f4` : `click ${this.command}`);
  }

  dispose() {
    this.closeList();
    super.dispose();
  }

  closeList() {
    this.dropdown?.remove();
    this.dropdown = null;
    this.field.setAttribute('aria-expanded', 'false');
  }

  fillList() {
    const items = this.control.items ?? [];
    const chosen = this.control.selection ?? -1;
    // The open list stays as drawn while its rows and the choice do (the
    // control's focus changing, say), so a row the person points at stays.
    const listed = this.listed;
    if (this.dropdown.firstChild && items === listed?.items && chosen === listed.chosen) return;
    this.listed = {items, chosen};
    const table = element('table', {class: 'interactive'});
    const body = element('tbody');
    items.forEach((text, index) => {
      const row = element('tr', {
        role: 'option',
        class: index === chosen ? 'highlighted' : '',
        'aria-selected': String(index === chosen),
        onmousedown: (e) => {
          e.preventDefault();
          this.choose(index);
        },
      });
      row.append(element('td', {}, text));
      body.append(row);
    });
    table.append(body);
    this.dropdown.replaceChildren(table);
    body.children[chosen]?.scrollIntoView({block: 'nearest'});
  }

  choose(index) {
    this.closeList();
    if (index < 0 || index === this.control.selection) return;
    send(`select ${this.command} ${index}`);
  }

  // F4 opens and closes the list drawn here; Enter and Escape close it.
  keepsKey(name) {
    const closes = this.dropdown !== null && (name === 'enter' || name === 'escape');
    return name === 'space' || name === 'f4' || closes;
  }

  onKey(e) {
    const items = this.control.items ?? [];
    if (e.key === 'F4') {
      e.preventDefault();
      this.toggle(true);
    } else if (this.dropdown && (e.key === 'Enter' || e.key === 'Escape')) {
      e.preventDefault();
      this.closeList();
    } else if (e.key.length === 1 && !e.ctrlKey && !e.altKey && items.length) {
      // A letter chooses the next row that begins with it.
      const letter = e.key.toLowerCase();
      const from = this.control.selection ?? -1;
      for (let k = 1; k <= items.length; ++k) {
        const index = (from + k) % items.length;
        if (String(items[index]).trim().toLowerCase().startsWith(letter)) {
          e.preventDefault();
          send(`select ${this.command} ${index}`);
          break;
        }
      }
    }
  }
}
