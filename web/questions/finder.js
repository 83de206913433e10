import {element} from '../common/dom.js';
import {quote} from '../common/text.js';
import {QuestionBox} from './question-box.js';

// The account finder: the offered accounts, narrowed as the person types a
// part of a code or a name.
export class AccountFinder extends QuestionBox {
  constructor(q, state) {
    super(q, state, q.search === 260 ? 'Find Bank Account' : 'Find Account');
    const accounts = (q.accounts ?? []).filter((a) => q.search !== 260 || a.bank !== false);
    this.accounts = accounts.map(
        (a) => ({code: String(a.code ?? '').trim(), name: String(a.name ?? '').trim()}));
    this.search = element('input', {
      type: 'search',
      class: 'autofocus finder-search',
      spellcheck: false,
      'aria-label': 'Search',
    });
    this.search.addEventListener('input', () => {
      this.chosen = 0;
      this.fill();
    });
    this.search.addEventListener('keydown', (e) => this.onListKey(e));
    this.tbody = element('tbody');
    const table = element(
        'table',
        {class: 'interactive'},
        element(
            'thead', {}, element('tr', {}, element('th', {}, 'Code'), element('th', {}, 'Name'))),
        this.tbody,
    );
    this.list = element('div', {class: 'sunken-panel finder-list', role: 'grid'}, table);
    this.body.append(
        element('div', {class: 'field-row'}, element('label', {}, 'Search:'), this.search),
        this.list,
        this.buttons,
    );
    this.addButton('OK', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
    this.chosen = 0;
    this.fill();
  }

  matches() {
    const text = this.search.value.trim().toLowerCase();
    if (!text) return this.accounts;
    return this.accounts.filter(
        (a) => a.code.toLowerCase().includes(text) || a.name.toLowerCase().includes(text));
  }

  fill() {
    this.shown = this.matches();
    this.tbody.replaceChildren(
        ...this.shown.map(
            (a, index) => element(
                'tr',
                {
                  class: index === this.chosen ? 'highlighted' : '',
                  dataset: {code: a.code},
                  onmousedown: (e) => {
                    e.preventDefault();
                    this.chosen = index;
                    this.fill();
                  },
                  ondblclick: () => this.confirm(),
                },
                element('td', {}, a.code),
                element('td', {}, a.name),
                ),
            ),
    );
    this.tbody.children[this.chosen]?.scrollIntoView({block: 'nearest'});
  }

  onListKey(e) {
    const move = {ArrowDown: 1, ArrowUp: -1, PageDown: 10, PageUp: -10}[e.key];
    if (!move || !this.shown.length) return;
    e.preventDefault();
    this.chosen = Math.min(Math.max(this.chosen + move, 0), this.shown.length - 1);
    this.fill();
  }

  focusFirst() {
    this.search.focus();
  }

  confirm() {
    const account = this.shown[this.chosen];
    if (account) this.answer(`popup ${quote(account.code)}`);
  }

  cancel() {
    this.answer('popup cancel');
  }
}
