import {element} from '../common/dom.js';
import {quote} from '../common/text.js';
import {
  ES_CENTER,
  ES_LOWERCASE,
  ES_NUMBER,
  ES_PASSWORD,
  ES_RIGHT,
  ES_UPPERCASE,
  styleOf,
} from '../common/win32.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';
import {TEXT_KEYS} from '../keyboard/keys.js';
import {kindOf} from './kind.js';
import {ControlView} from './view.js';

function caseOf(style) {
  if (style & ES_UPPERCASE) return 'uppercase';
  return style & ES_LOWERCASE ? 'lowercase' : '';
}

function alignmentOf(style) {
  if (style & ES_RIGHT) return 'right';
  return style & ES_CENTER ? 'center' : '';
}

// An edit, a calculator edit (a number with its decimal places) or a memo.
// The text goes to the station as it is typed; the module's checks on
// losing the focus run when the person leaves the field.
export class EditField extends ControlView {
  constructor(c, surface, node = null) {
    const multiline = kindOf(c) === 'memo';
    const input = multiline ?
        element('textarea', {spellcheck: false}) :
        element('input', {type: 'text', spellcheck: false, autocomplete: 'off'});
    super(c, surface, node ?? input, input);
    this.input = input;
    this.dirty = false;
    this.unanswered = 0;  // `type` commands sent or queued, not yet answered
    this.waiting = null;  // the queued `type` that later keystrokes may join
    input.addEventListener('beforeinput', () => this.forgetMaskedText());
    input.addEventListener('input', () => this.onInput());
    input.addEventListener('blur', () => {
      if (!this.surface.window.closing) this.commit();
    });
  }

  isPassword() {
    return (styleOf(this.control) & ES_PASSWORD) !== 0 && this.kind !== 'memo';
  }

  // The station shows a password as one `*` a character, so the page can
  // only keep what the person typed there itself.  The asterisks of a text
  // the person never typed here (the current password) are only a picture:
  // typing replaces them, and they are never sent.
  forgetMaskedText() {
    if (!this.masked) return;
    this.masked = false;
    this.input.value = '';
  }

  // What a password field shows: the person's own text while the station
  // still holds it (as many characters, changed by typing), else the mask.
  showPassword(c) {
    const text = c.text ?? '';
    const typed = this.input.value;
    const stillTyped = c.modified && !this.masked && typed.length === text.length;
    if (stillTyped) return;
    this.input.value = text;
    this.masked = text !== '';
  }

  update(c) {
    const style = styleOf(c);
    const input = this.input;
    input.disabled = c.enabled === false;
    input.readOnly = Boolean(c.readOnly);
    if (input.type !== 'textarea') input.type = style & ES_PASSWORD ? 'password' : 'text';
    input.style.textTransform = caseOf(style);
    input.style.textAlign = this.kind === 'calc' ? 'right' : alignmentOf(style);
    const limit = Number(c.limit ?? 0);
    if (limit > 0 && limit < 32767)
      input.maxLength = limit;
    else
      input.removeAttribute('maxlength');
    if (this.kind === 'calc') {
      input.inputMode = 'decimal';
      input.title = `${c.decimals ?? 2} decimal places`;
      input.dataset.decimals = String(c.decimals ?? 2);
    }
    if (this.dirty || this.unanswered) return;
    if (this.isPassword())
      this.showPassword(c);
    else if (input.value !== c.text)
      input.value = c.text ?? '';
  }

  onInput() {
    const input = this.input;
    const style = styleOf(this.control);
    let text = input.value;
    if (style & ES_UPPERCASE) text = text.toUpperCase();
    if (style & ES_LOWERCASE) text = text.toLowerCase();
    if (this.kind === 'calc')
      text = this.accepted(text);
    else if (style & ES_NUMBER)
      text = text.replace(/\D/g, '');
    if (text !== input.value) {
      const at = input.selectionStart;
      input.value = text;
      input.setSelectionRange?.(at, at);
    }
    this.previous = input.value;
    this.dirty = true;
    this.sendAsTyped();
  }

  // The text goes to the station as it is typed, since a dialog may check
  // a field on every change (Company Preferences enables OK by the name).
  // Keystrokes that come while a `type` still waits for its turn join it,
  // unless another command was queued behind it: nothing typed overtakes
  // a click.
  sendAsTyped() {
    const waiting = this.waiting;
    if (waiting && !waiting.started && waiting.ticket === app.tail) {
      waiting.text = this.input.value;
      this.dirty = false;
      return;
    }
    this.commit();
  }

  // A calculator edit takes a sign, digits and one point, as it would typed.
  accepted(text) {
    if (/^\s*[+-]?\d*(\.\d*)?\s*$/.test(text)) return text;
    return this.previous ?? this.control.text ?? '';
  }

  // The typed text not yet sent, as the command that sends it (its text
  // read when its turn comes) and what to do with the answer; null when
  // there is none.
  takePending() {
    if (!this.dirty) return null;
    this.dirty = false;
    this.unanswered += 1;
    const entry = {text: this.input.value, started: false, ticket: null};
    const command = this.command;
    return {
      entry,
      get line() {
        entry.started = true;
        return `type ${command} ${quote(entry.text)}`;
      },
      done: (answer) => {
        this.unanswered -= 1;
        if (answer && !answer.ok && this.input.value === entry.text) {
          // Refused: the person's text stays, to be corrected or sent again.
          this.dirty = true;
        } else if (!this.dirty && !this.unanswered) {
          this.update(this.control);
        }
      },
    };
  }

  commit() {
    const pending = this.takePending();
    if (!pending) return;
    const window = this.surface.window;
    send(() => (window.stillOpen() ? pending.line : null)).then(pending.done);
    // The queue's last task, until another command is queued behind it.
    this.waiting = pending.entry;
    this.waiting.ticket = app.tail;
  }

  // A memo takes Enter as a line break.
  keepsKey(name) {
    return TEXT_KEYS.has(name) || (name === 'enter' && this.kind === 'memo');
  }
}
