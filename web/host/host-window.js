// The host's own windows: reports, help, the system editor, context menus.
//
// These belong to the host program, not to the module's dialogs: they stay
// usable while a dialog holds the input, as Windows' help and SYSEDIT are
// programs of their own.

import {dragBy, element} from '../common/dom.js';

// Keys and the focus in these windows stay theirs.
export function inHostWindow(node) {
  return Boolean(node?.closest?.('.host-window, .context-menu, .date-picker'));
}

// A floating window of the page: title bar with a close box, dragged by it.
export class HostWindow {
  constructor(kind, title, onClose) {
    this.titleText = element('div', {class: 'title-bar-text'}, title);
    const close = element('button', {'aria-label': 'Close', onclick: () => onClose()});
    const titleBar = element(
        'div', {class: 'title-bar'}, this.titleText,
        element('div', {class: 'title-bar-controls'}, close));
    this.body = element('div', {class: 'window-body'});
    this.root = element(
        'div', {class: `window host-window ${kind}`, role: 'dialog', 'aria-label': title},
        titleBar, this.body);
    this.root.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') {
        e.stopPropagation();
        onClose();
      }
    });
    dragBy(titleBar, this.root);
    document.body.append(this.root);
  }

  dispose() {
    this.root.remove();
  }
}
