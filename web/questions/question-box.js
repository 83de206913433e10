import {element} from '../common/dom.js';
import {captionNodes} from '../common/text.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';
import {topWindow} from '../dialog/windows.js';

// What every question window shares: a title, a body, a row of buttons,
// Enter for the default button and Escape for Cancel.
export class QuestionBox {
  constructor(q, state, title) {
    this.q = q;
    this.answered = false;
    this.body = element('div', {class: 'window-body question-body'});
    this.buttons = element('div', {class: 'question-buttons'});
    this.root = element(
        'div',
        {
          class: `window question question-${q.event}`,
          role: q.event === 'message' ? 'alertdialog' : 'dialog',
          'aria-modal': 'true',
          'aria-label': title,
          dataset: {question: q.event},
        },
        element(
            'div',
            {class: 'title-bar'},
            element('div', {class: 'title-bar-text'}, title),
            element(
                'div',
                {class: 'title-bar-controls'},
                element(
                    'button',
                    {'aria-label': 'Close', tabindex: '-1', onclick: () => this.cancel()}),
                ),
            ),
        this.body,
    );
    this.root.addEventListener('keydown', (e) => this.onKey(e));
    this.state = state;
  }

  addButton(caption, action, {isDefault = false, name = ''} = {}) {
    const button = element('button', {type: 'button', onclick: action, dataset: {answer: name}});
    button.replaceChildren(...captionNodes(caption));
    if (isDefault) button.classList.add('default');
    this.buttons.append(button);
    return button;
  }

  answer(line) {
    if (this.answered) return;
    this.answered = true;
    for (const b of this.root.querySelectorAll('button')) b.disabled = true;
    // Whatever the station asks next is a new question, even when its
    // text is the same (or the answer was refused).
    this.signature = null;
    send(line);
  }

  onKey(e) {
    if (e.key === 'Escape') {
      e.preventDefault();
      this.cancel();
    } else if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement)) {
      e.preventDefault();
      this.confirm();
    } else if (e.key === 'Tab') {
      e.preventDefault();
      const stops = [...this.root.querySelectorAll('input, select, button, [tabindex="0"]')].filter(
          (n) => !n.disabled && n.tabIndex >= 0 && !n.closest('.title-bar'),
      );
      const at = stops.indexOf(document.activeElement);
      stops[(at + (e.shiftKey ? stops.length - 1 : 1) + stops.length) % stops.length]?.focus();
    }
  }

  place() {
    const owner = [...app.windows.values()].find((v) => v.id === this.q.owner) ?? topWindow();
    const width = this.root.offsetWidth;
    const height = this.root.offsetHeight;
    let left = (window.innerWidth - width) / 2;
    let top = (window.innerHeight - height) / 3;
    if (owner?.visible) {
      const r = owner.root.getBoundingClientRect();
      left = r.left + (r.width - width) / 2;
      top = r.top + (r.height - height) / 2;
    }
    this.root.style.left = `${Math.max(Math.round(left), 0)}px`;
    this.root.style.top = `${Math.max(Math.round(top), 0)}px`;
  }

  focusFirst() {
    (this.root.querySelector('.autofocus') ?? this.buttons.querySelector('button'))?.focus();
  }

  remove() {
    this.root.remove();
  }
}
