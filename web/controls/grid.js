import {element, nextId} from '../common/dom.js';
import {quote} from '../common/text.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';
import {openContextMenu} from '../host/context-menu.js';
import {TEXT_KEYS} from '../keyboard/keys.js';
import {ControlView} from './view.js';

// The engine's grid: columns from its layout, the current row highlighted,
// a click chooses the current row (the station's keys move it); cells of
// the columns that the person edits take typing.
export class Grid extends ControlView {
  constructor(c, surface) {
    const panel = element('div', {class: 'sunken-panel', role: 'grid'});
    super(c, surface, panel, panel);
    this.table = element('table', {class: 'interactive', role: 'presentation'});
    this.rowIds = nextId('grid-row');
    this.head = element('thead');
    this.body = element('tbody');
    this.colgroup = element('colgroup');
    this.table.append(this.colgroup, this.head, this.body);
    panel.append(this.table);
    this.editor = null;
    this.columnsSignature = '';
    this.rowsSignature = '';
    panel.addEventListener('keydown', (e) => this.onKey(e));
    this.body.addEventListener('mousedown', (e) => this.onMouseDown(e));
    this.body.addEventListener('dblclick', (e) => this.onDoubleClick(e));
    panel.addEventListener('contextmenu', (e) => openContextMenu(this, e));
  }

  update(c) {
    this.node.setAttribute('aria-disabled', String(c.enabled === false));
    this.node.setAttribute('aria-rowcount', String(c.rowCount ?? 0));
    const columns = c.columns ?? [];
    const shown = columns.map((col, index) => ({...col, index})).filter((col) => !col.hidden);
    this.shown = shown;
    const columnsSignature = JSON.stringify(shown);
    const columnsChanged = columnsSignature !== this.columnsSignature;
    if (columnsChanged) {
      this.columnsSignature = columnsSignature;
      this.buildHead(shown);
    }
    this.updateRows(c, shown, columnsChanged);
    const current = c.current?.row ?? -1;
    if (this.highlighted !== current) this.markRow(this.highlighted, false);
    this.markRow(current, true);
    this.highlighted = current;
    // The current row is the one a screen reader is told of.
    if (this.body.children[current])
      this.node.setAttribute('aria-activedescendant', `${this.rowIds}-${current}`);
    else
      this.node.removeAttribute('aria-activedescendant');
    if (current !== this.current) {
      this.current = current;
      this.body.children[current]?.scrollIntoView({block: 'nearest'});
    }
    this.showStationEditor(c);
  }

  // A text that the module put into the cell editor (the finder's choice)
  // shows in its cell until the editor hands it to the cell.
  showStationEditor(c) {
    if (this.stationCell) {
      this.stationCell.cell.textContent = this.stationCell.text;
      this.stationCell.cell.classList.remove('station-editor');
      this.stationCell = null;
    }
    const editor = c.editor;
    const row = c.current?.row ?? -1;
    if (!editor || row < 0 || this.editor) return;
    const cell = this.body.children[row]?.querySelector(`td[data-column="${editor.column}"]`);
    if (!cell) return;
    this.stationCell = {cell, text: cell.textContent};
    cell.textContent = editor.text ?? '';
    cell.classList.add('station-editor');
  }

  buildHead(shown) {
    const row = element('tr', {role: 'row'});
    for (const col of shown)
      row.append(element(
          'th', {class: col.type === 'text' ? '' : 'number', role: 'columnheader'},
          col.heading ?? ''));
    this.head.replaceChildren(row);
  }

  // The rows whose cells changed are built again (with the cell editor, if
  // it is in one of them); a change of the columns, the number of rows,
  // their levels or marks builds them all.
  updateRows(c, shown, columnsChanged) {
    const rows = c.rows ?? [];
    const drawn = this.rows;
    const sameShape = !columnsChanged && rows.length === drawn?.length &&
        c.levels === this.levels && c.marked === this.marked;
    if (sameShape && rows === drawn) return;
    this.rows = rows;
    this.levels = c.levels;
    this.marked = c.marked;
    if (!sameShape) return this.buildRows(c, shown);
    const marked = new Set(c.marked ?? []);
    rows.forEach((cells, r) => {
      if (cells === drawn[r]) return;
      if (this.editor?.row === r) this.closeEditor(false);
      if (this.stationCell && this.body.children[r]?.contains(this.stationCell.cell))
        this.stationCell = null;
      this.body.children[r].replaceWith(this.rowElement(c, shown, r, marked));
    });
    this.sizeColumns(shown, rows);
  }

  buildRows(c, shown) {
    const rows = c.rows ?? [];
    const marked = new Set(c.marked ?? []);
    this.body.replaceChildren(...rows.map((_, r) => this.rowElement(c, shown, r, marked)));
    this.stationCell = null;
    this.closeEditor(false);
    this.sizeColumns(shown, rows);
  }

  // Widths in characters of the dialog font (about 6 pixels), wide enough
  // for the heading and every cell as the column formats it; the last
  // column takes what is left, and the grid scrolls when they need more.
  sizeColumns(shown, rows) {
    const widths = shown.map((col) => {
      const longest = Math.max(0, ...rows.map((cells) => String(cells[col.index] ?? '').length));
      return Math.max(col.width ?? 4, String(col.heading ?? '').length, longest) * 6 + 14;
    });
    this.colgroup.replaceChildren(...widths.map(
        (px, i) => element('col', {style: i === widths.length - 1 ? '' : `width: ${px}px`})));
    this.table.style.minWidth = `${widths.reduce((a, b) => a + b, 0)}px`;
  }

  rowElement(c, shown, r, marked) {
    const row = element('tr', {
      dataset: {row: String(r)},
      role: 'row',
      id: `${this.rowIds}-${r}`,
      'aria-selected': 'false',
    });
    if (marked.has(r)) row.classList.add('marked');
    shown.forEach((col, i) => {
      const cell = element('td', {role: 'gridcell', dataset: {column: String(col.id)}});
      if (col.type !== 'text') cell.classList.add('number');
      if (col.editable) cell.classList.add('editable');
      if (i === 0 && c.levels?.[r]) cell.style.paddingLeft = `${6 + 14 * c.levels[r]}px`;
      cell.textContent = c.rows[r][col.index] ?? '';
      cell.title = cell.textContent;
      row.append(cell);
    });
    return row;
  }

  markRow(r, current) {
    const row = this.body.children[r];
    if (!row) return;
    row.classList.toggle('highlighted', current);
    row.setAttribute('aria-selected', String(current));
  }

  rowOf(target) {
    const row = target.closest?.('tr');
    return row && this.body.contains(row) ? Number(row.dataset.row) : -1;
  }

  columnOf(target) {
    const cell = target.closest?.('td');
    return cell ? this.shown.find((col) => String(col.id) === cell.dataset.column) : null;
  }

  onMouseDown(e) {
    if (!this.usable() || e.target.closest('.cell-editor')) return;
    const row = this.rowOf(e.target);
    if (row < 0) return;
    const column = this.columnOf(e.target);
    this.focusNode.focus();
    if (column?.editable && row === this.current) {
      e.preventDefault();
      this.openEditor(row, column);
      return;
    }
    this.moveTo(row);
  }

  onDoubleClick(e) {
    if (!this.usable() || e.target.closest('.cell-editor')) return;
    const row = this.rowOf(e.target);
    if (row < 0) return;
    const column = this.columnOf(e.target);
    if (column?.editable)
      this.openEditor(row, column);
    else
      send(`activate ${this.command} ${row}`);
  }

  moveTo(row) {
    const count = this.control.rows?.length ?? 0;
    if (row < 0 || row >= count || row === this.current) return;
    this.closeEditor(true);
    send(`select ${this.command} ${row}`);
  }

  // F2 or typing opens the current cell's editor.
  onKey(e) {
    if (e.target !== this.focusNode) return;
    const editable = this.editableColumn();
    const row = this.current ?? -1;
    if (!editable || row < 0) return;
    if (e.key === 'F2') {
      e.preventDefault();
      this.openEditor(row, editable);
    } else if (e.key.length === 1 && !e.ctrlKey && !e.altKey && !e.metaKey) {
      e.preventDefault();
      this.openEditor(row, editable, e.key);
    }
  }

  // The cell editor keeps the keys of its text, Enter (the cell takes the
  // text), Escape (gives it up) and F4 (its finder); Up, Down and the
  // dialog's keys store the cell and go to the station.
  keepsKey(name, node) {
    if (!this.editor || node !== this.editor.input) return name === 'space';
    if (name === 'up' || name === 'down') return false;
    return TEXT_KEYS.has(name) || name === 'enter' || name === 'escape' || name === 'f4';
  }

  editableColumn() {
    const currentId = this.control.current?.column;
    return (
        this.shown?.find((col) => col.editable && col.id === currentId) ??
        this.shown?.find((col) => col.editable) ?? null);
  }

  // A cell's editor: Enter or leaving stores the text in the cell, Escape
  // gives it up, the button opens the module's finder.
  openEditor(row, column, firstKey = null) {
    this.closeEditor(true);
    const cell = this.body.children[row]?.querySelector(`td[data-column="${column.id}"]`);
    if (!cell) return;
    const input = element('input', {type: 'text', class: 'cell-input', spellcheck: false});
    input.value = firstKey ?? cell.textContent;
    const finder = element('button', {
      type: 'button',
      class: 'finder-button',
      tabindex: '-1',
      'aria-label': 'Find',
      onmousedown: (e) => e.preventDefault(),
      onclick: () => {
        const text = input.value;
        this.closeEditor(false);
        this.openFinder(row, column, text);
      },
    });
    finder.textContent = '…';
    const box = element('div', {class: 'cell-editor'}, input, finder);
    cell.append(box);
    this.editor = {row, column, input, box, original: cell.textContent};
    input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        e.stopPropagation();
        this.closeEditor(true);
        this.focusNode.focus();
      } else if (e.key === 'Escape') {
        e.preventDefault();
        e.stopPropagation();
        this.closeEditor(false);
        this.focusNode.focus();
      } else if (e.key === 'F4') {
        e.preventDefault();
        finder.click();
      }
    });
    input.addEventListener('blur', () => {
      if (!this.surface.window.closing) this.closeEditor(true);
    });
    input.focus();
    if (firstKey)
      input.setSelectionRange(input.value.length, input.value.length);
    else
      input.select();
  }

  // The station clicks the finder button of the current cell only, so the
  // cell becomes current first, as a person's click into it would make it.
  openFinder(row, column, text) {
    const current = this.control.current ?? {};
    const original = this.control.rows?.[row]?.[column.index] ?? '';
    if (current.row !== row || current.column !== column.id || text !== original)
      send(`cell ${this.command} ${row} ${column.id} ${quote(text)}`);
    send(() => (app.state?.question ? null : `click ${this.command}`));
  }

  // Closes the cell editor; its changed text, as the command that stores
  // it, or null.
  takePending() {
    const editor = this.editor;
    if (!editor) return null;
    this.editor = null;
    editor.box.remove();
    const text = editor.input.value;
    if (text === editor.original) return null;
    return {line: `cell ${this.command} ${editor.row} ${editor.column.id} ${quote(text)}`};
  }

  closeEditor(store) {
    const pending = this.takePending();
    if (store && pending) send(pending.line);
  }

  focus() {
    this.focusNode.focus();
  }
}
