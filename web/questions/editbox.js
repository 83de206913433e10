// The edit box: one line of text to type.

import {element, nextId} from '../common/dom.js';
import {plainCaption, quote} from '../common/text.js';
import {app} from '../connection/state.js';
import {Grid} from '../controls/grid.js';
import {QuestionBox} from './question-box.js';

// The list row that an edit box edits: the current row of its owner's
// grid, with the heading of the text it holds and the row's first cell.
function editedRow(ownerId) {
  const owner = [...app.windows.values()].find((v) => v.id === ownerId);
  const grid = owner?.views().find((v) => v instanceof Grid && (v.current ?? -1) >= 0);
  if (!grid) return null;
  const columns = grid.shown ?? [];
  const text = columns.find((c) => c.type === 'text') ?? columns[columns.length - 1];
  const first = columns[0];
  const cells = grid.control.rows?.[grid.current] ?? [];
  return {
    owner,
    node: grid.body.children[grid.current],
    prompt: text?.heading ?? '',
    row: first && first !== text ? `${first.heading} ${cells[first.index] ?? ''}`.trim() : '',
  };
}

// The edit box names what it edits (the list, the row and the column) and
// stands clear of the row, so the person sees the old text beside it.
export class EditBoxQuestion extends QuestionBox {
  constructor(q, state) {
    const edited = editedRow(q.owner);
    super(q, state, edited ? `Edit ${plainCaption(edited.owner.dialog?.title)}` : 'Edit');
    this.edited = edited;
    this.input = element('input', {type: 'text', class: 'autofocus', spellcheck: false});
    this.input.id = nextId('question-input');
    this.input.value = q.text ?? '';
    if (q.max) this.input.maxLength = q.max;
    const prompt = edited?.prompt ? `${edited.prompt}${edited.row ? ` (${edited.row})` : ''}:` :
                                    'New text:';
    this.body.append(
        element(
            'div', {class: 'field-row-stacked'}, element('label', {for: this.input.id}, prompt),
            this.input),
        this.buttons);
    this.addButton('OK', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
  }

  // Below the row, or above it where the page has no room below.
  place() {
    super.place();
    const row = this.edited?.node?.getBoundingClientRect();
    if (!row) return;
    const height = this.root.offsetHeight;
    const below = row.bottom + 4;
    const top = below + height <= window.innerHeight ? below : row.top - height - 4;
    this.root.style.top = `${Math.max(Math.round(top), 0)}px`;
  }

  focusFirst() {
    this.input.focus();
    this.input.select();
  }

  confirm() {
    this.answer(`editbox ${quote(this.input.value)}`);
  }

  cancel() {
    this.answer('editbox cancel');
  }
}
