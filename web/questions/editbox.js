// The edit box: one line of text to type.

import {element} from '../common/dom.js';
import {quote} from '../common/text.js';
import {QuestionBox} from './question-box.js';

export class EditBoxQuestion extends QuestionBox {
  constructor(q, state) {
    super(q, state, 'Edit');
    this.input = element('input', {type: 'text', class: 'autofocus', spellcheck: false});
    this.input.value = q.text ?? '';
    if (q.max) this.input.maxLength = q.max;
    this.body.append(element('div', {class: 'field-row-stacked'}, this.input), this.buttons);
    this.addButton('OK', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
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
