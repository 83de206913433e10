// The module's message boxes.

import {element, nextId} from '../common/dom.js';
import {accessKey} from '../common/text.js';
import {QuestionBox} from './question-box.js';

const MESSAGE_ICONS = {
  1: 'error',
  2: 'warning',
  3: 'information',
  5: 'question'
};
const BUTTON_CAPTIONS = {
  ok: 'OK',
  cancel: 'Cancel',
  yes: '&Yes',
  no: '&No',
  retry: '&Retry',
  abort: '&Abort',
  ignore: '&Ignore',
};

export class MessageBox extends QuestionBox {
  constructor(q, state) {
    super(q, state, q.caption ?? (state.main?.title || 'VX70'));
    const icon = MESSAGE_ICONS[q.kind] ?? q.icon ?? 'none';
    this.icon = icon === 'notice' ? 'information' : icon;
    this.root.dataset.icon = this.icon;
    this.body.append(
        element(
            'div',
            {class: 'message-row'},
            this.icon === 'none' ?
                null :
                element('div', {class: `message-icon icon-${this.icon}`, 'aria-hidden': 'true'}),
            element('p', {class: 'message-text', id: nextId('message')}, q.text ?? ''),
            ),
        this.buttons,
    );
    // Named by what it says, as a screen reader should read it first.
    this.root.removeAttribute('aria-label');
    this.root.setAttribute('aria-labelledby', this.body.querySelector('.message-text').id);
    const names = q.buttons?.length ? q.buttons : ['ok'];
    names.forEach((name, index) => {
      const button =
          this.addButton(BUTTON_CAPTIONS[name] ?? name, () => this.answer(`answer ${name}`), {
            isDefault: index === 0,
            name,
          });
      if (index === 0) button.classList.add('autofocus');
    });
    this.names = names;
  }

  confirm() {
    this.answer(`answer ${this.names[0]}`);
  }

  cancel() {
    // Escape answers Cancel, or OK where OK is the only way out.
    if (this.names.includes('cancel'))
      this.answer('answer cancel');
    else if (this.names.length === 1)
      this.answer(`answer ${this.names[0]}`);
  }

  onKey(e) {
    const key = e.key.toLowerCase();
    const named = this.names.find((n) => accessKey(BUTTON_CAPTIONS[n] ?? '') === key);
    if (named && !e.ctrlKey) {
      e.preventDefault();
      this.answer(`answer ${named}`);
      return;
    }
    if (e.key === 'ArrowLeft' || e.key === 'ArrowRight') {
      const buttons = [...this.buttons.children];
      const at = buttons.indexOf(document.activeElement);
      buttons[(at + (e.key === 'ArrowRight' ? 1 : buttons.length - 1)) % buttons.length]?.focus();
      return;
    }
    super.onKey(e);
  }
}
