// A date field's calendar: a month under the field, whose chosen day is
// typed into it.

import {element} from '../common/dom.js';

let shown = null;  // the calendar open now, if any

const MONTHS = [
  'January', 'February', 'March', 'April', 'May', 'June', 'July', 'August', 'September',
  'October', 'November', 'December',
];

// A date as the package writes it, DD/MM/YYYY; null for anything else.
export function parseDate(text) {
  const match = /^\s*(\d{1,2})\/(\d{1,2})\/(\d{4})\s*$/.exec(String(text ?? ''));
  if (!match) return null;
  const [day, month, year] = match.slice(1).map(Number);
  const date = new Date(year, month - 1, day);
  return date.getMonth() === month - 1 ? date : null;
}

function formatDate(date) {
  const two = (n) => String(n).padStart(2, '0');
  return `${two(date.getDate())}/${two(date.getMonth() + 1)}/${date.getFullYear()}`;
}

function addDays(date, days) {
  return new Date(date.getFullYear(), date.getMonth(), date.getDate() + days);
}

// The same day of another month, or that month's last day.
function addMonths(date, months) {
  const last = new Date(date.getFullYear(), date.getMonth() + months + 1, 0).getDate();
  return new Date(date.getFullYear(), date.getMonth() + months, Math.min(date.getDate(), last));
}

// A month's days under the field, weeks from Monday.  The arrows move the
// day, Page Up and Page Down the month; Enter or a click chooses, Escape
// or a click elsewhere gives up.
export class DatePicker {
  constructor(anchor, initial, onChoose, onClose) {
    shown?.close();
    shown = this;
    this.day = initial ?? new Date();
    this.onChoose = onChoose;
    this.onClose = onClose;
    this.heading = element('div', {class: 'date-heading', 'aria-live': 'polite'});
    const step = (months, label, glyph) => element(
        'button',
        {
          type: 'button',
          tabindex: '-1',
          'aria-label': label,
          onclick: () => this.show(addMonths(this.day, months)),
        },
        glyph);
    this.grid = element('table', {class: 'date-grid', role: 'grid', tabindex: '0'});
    this.root = element(
        'div', {class: 'window date-picker', role: 'dialog', 'aria-label': 'Choose a date'},
        element('div', {class: 'date-bar'}, step(-1, 'Previous month', '<'), this.heading,
                step(1, 'Next month', '>')),
        this.grid);
    this.root.addEventListener('keydown', (e) => this.onKey(e));
    this.grid.addEventListener('mousedown', (e) => {
      const cell = e.target.closest('td[data-day]');
      if (!cell) return;
      e.preventDefault();
      this.choose(new Date(this.day.getFullYear(), this.day.getMonth(), Number(cell.dataset.day)));
    });
    this.outside = (e) => {
      if (!this.root.contains(e.target)) this.close();
    };
    document.addEventListener('mousedown', this.outside, true);
    const r = anchor.getBoundingClientRect();
    this.root.style.left = `${r.left}px`;
    this.root.style.top = `${r.bottom}px`;
    document.body.append(this.root);
    this.show(this.day);
    this.grid.focus();
  }

  show(day) {
    this.day = day;
    this.heading.textContent = `${MONTHS[day.getMonth()]} ${day.getFullYear()}`;
    const first = new Date(day.getFullYear(), day.getMonth(), 1);
    const days = new Date(day.getFullYear(), day.getMonth() + 1, 0).getDate();
    const lead = (first.getDay() + 6) % 7;
    const head = element(
        'tr', {}, ...['Mo', 'Tu', 'We', 'Th', 'Fr', 'Sa', 'Su'].map((d) => element('th', {}, d)));
    const rows = [];
    for (let start = -lead; start < days; start += 7) {
      const row = element('tr');
      for (let i = start; i < start + 7; ++i) {
        const n = i + 1;
        const inMonth = n >= 1 && n <= days;
        const cell = element('td', {role: 'gridcell'}, inMonth ? String(n) : '');
        if (inMonth) {
          cell.dataset.day = String(n);
          cell.id = `date-${n}`;
          cell.setAttribute('aria-selected', String(n === day.getDate()));
        }
        row.append(cell);
      }
      rows.push(row);
    }
    this.grid.replaceChildren(element('thead', {}, head), element('tbody', {}, ...rows));
    this.grid.setAttribute('aria-activedescendant', `date-${day.getDate()}`);
  }

  onKey(e) {
    const moves = {
      ArrowLeft: () => addDays(this.day, -1),
      ArrowRight: () => addDays(this.day, 1),
      ArrowUp: () => addDays(this.day, -7),
      ArrowDown: () => addDays(this.day, 7),
      PageUp: () => addMonths(this.day, -1),
      PageDown: () => addMonths(this.day, 1),
    };
    if (moves[e.key])
      this.show(moves[e.key]());
    else if (e.key === 'Enter')
      this.choose(this.day);
    else if (e.key === 'Escape' || e.key === 'Tab')
      this.close();
    else
      return;
    e.preventDefault();
    e.stopPropagation();
  }

  choose(day) {
    this.close();
    this.onChoose(formatDate(day));
  }

  close() {
    document.removeEventListener('mousedown', this.outside, true);
    this.root.remove();
    if (shown === this) shown = null;
    this.onClose();
  }
}
