import {element} from '../common/dom.js';
import {captionNodes} from '../common/text.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';
import {pageMessage} from '../questions/page-message.js';

// The host's menu: one drop-down per group, keyboard as in Windows (F10, or
// Alt with a title's access key, arrows, Enter, Escape).
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
    this.setTabStop(this.tabStop ?? 0);
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

  // One title of the bar is a tab stop while the main window takes input
  // (the one the person last used), as a Windows menu bar is one stop.
  setTabStop(index) {
    this.tabStop = index;
    this.groups.forEach((g, i) => (g.button.tabIndex = this.enabled && i === index ? 0 : -1));
  }

  // A title's access key: the first letter of one of its words that no
  // title before it took, else its first letter not taken.
  static accessKeys(groups) {
    const taken = new Set();
    return groups.map(({group}) => {
      const text = String(group);
      const starts = [...text.matchAll(/\b\w/g)].map((m) => m.index);
      const letters = [...text].map((_, i) => i);
      const at = [...starts, ...letters].find((i) => !taken.has(text[i].toLowerCase()));
      if (at === undefined) return {caption: text, key: ''};
      taken.add(text[at].toLowerCase());
      return {caption: `${text.slice(0, at)}&${text.slice(at)}`, key: text[at].toLowerCase()};
    });
  }

  build(groups) {
    this.bar.replaceChildren();
    const keys = MenuBar.accessKeys(groups);
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
        onfocus: () => this.setTabStop(index),
      });
      button.replaceChildren(...captionNodes(keys[index].caption));
      const key = keys[index].key;
      if (key) button.setAttribute('aria-keyshortcuts', `Alt+${key.toUpperCase()}`);
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
      return {button, list, items, wrapper, accessNote, key: keys[index].key};
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

  // F10 goes to the bar, Alt with a title's access key opens its menu,
  // while no dialog or question holds the input.
  onGlobalKey(e) {
    if (!this.enabled || !this.groups.length || app.windows.size || app.question || pageMessage())
      return;
    const letter = /^Key([A-Z])$/.exec(e.code ?? '')?.[1]?.toLowerCase();
    const chosen = e.altKey && !e.ctrlKey && letter;
    const group = chosen ? this.groups.findIndex((g) => g.key === letter) : -1;
    if (e.key === 'F10') {
      e.preventDefault();
      this.groups[0].button.focus();
    } else if (group >= 0) {
      e.preventDefault();
      this.show(group, true);
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
