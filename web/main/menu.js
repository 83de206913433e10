import {element} from '../common/dom.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';

// The host's menu: one drop-down per group, keyboard as in Windows (F10 or
// Alt, arrows, Enter, Escape).
export class MenuBar {
  constructor(bar) {
    this.bar = bar;
    this.groups = [];
    this.signature = '';
    this.open = -1;
    this.enabled = true;
    document.addEventListener('mousedown', (e) => {
      if (!this.bar.contains(e.target)) this.close();
    });
    document.addEventListener('keydown', (e) => this.onGlobalKey(e), true);
  }

  update(groups, enabled, accessMenu) {
    const signature = JSON.stringify(groups);
    if (signature !== this.signature) {
      this.signature = signature;
      this.build(groups);
    }
    this.enabled = enabled;
    for (const g of this.groups) {
      g.button.setAttribute('aria-disabled', String(!enabled));
      for (const item of g.items) item.disabled = !enabled;
    }
    this.showAccessMenu(accessMenu);
    if (!enabled) this.close();
  }

  // The access menu itself belongs to the package's access module; the
  // group that the server marks with accessNote says whether the module
  // left it enabled.
  showAccessMenu(enabled) {
    const state = enabled ? 'enabled' : 'disabled';
    for (const g of this.groups) {
      if (!g.accessNote) continue;
      g.wrapper.dataset.accessMenu = state;
      g.accessNote.textContent = `Access menu ${state}`;
      g.button.title = `Access menu ${state}`;
    }
  }

  build(groups) {
    this.bar.replaceChildren();
    this.groups = groups.map((group, index) => {
      const button = element('button', {
        class: 'menu-title',
        role: 'menuitem',
        'aria-haspopup': 'true',
        'aria-expanded': 'false',
        tabindex: '-1',
        onclick: () => (this.open === index ? this.close() : this.show(index, false)),
        onmouseenter: () => {
          if (this.open >= 0 && this.open !== index) this.show(index, false);
        },
        onkeydown: (e) => this.onTitleKey(e, index),
      });
      button.textContent = group.group;
      const list = element('div', {class: 'menu-list window', role: 'menu', hidden: true});
      list.setAttribute('aria-label', group.group);
      const items = group.items.map((item, itemIndex) => {
        const entry = element('button', {
          class: 'menu-item',
          role: 'menuitem',
          tabindex: '-1',
          dataset: {dialog: String(item.dialog)},
          onclick: () => this.choose(item),
          onkeydown: (e) => this.onItemKey(e, index, itemIndex),
          onmouseenter: (e) => e.currentTarget.focus(),
        });
        entry.textContent = item.title;
        list.append(entry);
        return entry;
      });
      let accessNote = null;
      if (group.accessNote) {
        accessNote = element('div', {class: 'menu-note'});
        list.append(element('hr', {class: 'menu-separator'}), accessNote);
      }
      const wrapper = element('div', {class: 'menu-group'}, button, list);
      this.bar.append(wrapper);
      return {button, list, items, wrapper, accessNote};
    });
  }

  show(index, focusItem) {
    this.close();
    const g = this.groups[index];
    if (!g || !this.enabled) return;
    this.open = index;
    g.list.hidden = false;
    g.button.setAttribute('aria-expanded', 'true');
    g.button.classList.add('open');
    (focusItem ? g.items[0] : g.button)?.focus();
  }

  close() {
    if (this.open < 0) return;
    const g = this.groups[this.open];
    this.open = -1;
    if (!g) return;
    g.list.hidden = true;
    g.button.setAttribute('aria-expanded', 'false');
    g.button.classList.remove('open');
  }

  choose(item) {
    this.close();
    if (!this.enabled) return;
    send(`open ${item.dialog}`);
  }

  onGlobalKey(e) {
    if (!this.enabled || !this.groups.length) return;
    if (e.key === 'F10' && !app.windows.size && !app.question) {
      e.preventDefault();
      this.groups[0].button.focus();
    }
  }

  onTitleKey(e, index) {
    const count = this.groups.length;
    if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
      e.preventDefault();
      const next = (index + (e.key === 'ArrowRight' ? 1 : count - 1)) % count;
      if (this.open >= 0)
        this.show(next, true);
      else
        this.groups[next].button.focus();
    } else if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
      e.preventDefault();
      this.show(index, true);
    } else if (e.key === 'Escape') {
      this.close();
      e.currentTarget.blur();
    }
  }

  onItemKey(e, index, itemIndex) {
    const items = this.groups[index].items;
    if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
      e.preventDefault();
      const step = e.key === 'ArrowDown' ? 1 : items.length - 1;
      items[(itemIndex + step) % items.length].focus();
    } else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
      e.preventDefault();
      const count = this.groups.length;
      this.show((index + (e.key === 'ArrowRight' ? 1 : count - 1)) % count, true);
    } else if (e.key === 'Escape') {
      e.preventDefault();
      const button = this.groups[index].button;
      this.close();
      button.focus();
    }
  }
}
