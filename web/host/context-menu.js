import {element} from '../common/dom.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';

// A control's context menu: the items the station offers this user
// (`menu` in the control's state); choosing one sends it with `menu`.
class ContextMenu {
  constructor(view, items, x, y) {
    this.list = element('ul', {class: 'context-menu', role: 'menu'});
    for (const item of items) {
      const entry = element('li', {role: 'menuitem', tabindex: '-1'}, item.text);
      entry.addEventListener('click', () => this.choose(view, item));
      entry.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' || e.key === ' ') {
          e.preventDefault();
          this.choose(view, item);
        }
      });
      this.list.append(entry);
    }
    this.list.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') {
        e.stopPropagation();
        this.close();
        view.focus();
      }
    });
    this.list.style.left = `${x}px`;
    this.list.style.top = `${y}px`;
    this.outside = (e) => {
      if (!this.list.contains(e.target)) this.close();
    };
    document.addEventListener('mousedown', this.outside, true);
    document.body.append(this.list);
    this.list.firstChild?.focus();
  }

  choose(view, item) {
    this.close();
    send(`menu ${view.command} ${item.command}`);
  }

  close() {
    document.removeEventListener('mousedown', this.outside, true);
    this.list.remove();
    if (app.contextMenu === this) app.contextMenu = null;
  }
}

// A right click on a row makes it current first, as in a Windows list;
// Shift+F10 or the menu key (a contextmenu event of button 0) opens it at
// the current row.
export function openContextMenu(grid, e) {
  const items = grid.control.menu ?? [];
  if (!items.length || !grid.usable()) return;
  e.preventDefault();
  app.contextMenu?.close();
  let x = e.clientX;
  let y = e.clientY;
  if (e.type === 'contextmenu' && e.button === 2) {
    const row = grid.rowOf(e.target);
    if (row >= 0) grid.moveTo(row);
  } else {
    const row = grid.body.children[grid.current ?? -1] ?? grid.node;
    const box = row.getBoundingClientRect();
    x = box.left + 16;
    y = box.bottom;
  }
  app.contextMenu = new ContextMenu(grid, items, x, y);
}
