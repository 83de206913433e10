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
    this.tbody.addEventListener('mousedown', (e) => {
      const row = this.rowAt(e.target);
      if (row < 0) return;
      e.preventDefault();
      this.choose(row);
    });
    this.tbody.addEventListener('dblclick', (e) => {
      if (this.rowAt(e.target) >= 0) this.confirm();
    });
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
    this.chosen = this.nearest(String(q.code ?? '').trim());
    this.fill();
  }

  // The account the field holds, else the first one after it in code order
  // (the last when none is), as the finder opens on it.
  nearest(code) {
    if (!code) return 0;
    const key = code.toLowerCase();
    const at = this.accounts.findIndex((a) => a.code.toLowerCase() >= key);
    return at >= 0 ? at : Math.max(this.accounts.length - 1, 0);
  }

  rowAt(target) {
    const row = target.closest?.('tr');
    return row && this.tbody.contains(row) ? [...this.tbody.children].indexOf(row) : -1;
  }

  // Moves the choice without drawing the rows again, so that the two
  // clicks of a double-click land on the same row.
  choose(index) {
    this.chosen = index;
    [...this.tbody.children].forEach((row, i) => {
      row.classList.toggle('highlighted', i === index);
      row.setAttribute('aria-selected', String(i === index));
    });
    this.tbody.children[index]?.scrollIntoView({block: 'nearest'});
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
                'tr', {role: 'row', dataset: {code: a.code}}, element('td', {}, a.code),
                element('td', {}, a.name)),
            ),
    );
    this.choose(this.chosen);
  }

  onListKey(e) {
    const move = {ArrowDown: 1, ArrowUp: -1, PageDown: 10, PageUp: -10}[e.key];
    if (!move || !this.shown.length) return;
    e.preventDefault();
    this.choose(Math.min(Math.max(this.chosen + move, 0), this.shown.length - 1));
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
