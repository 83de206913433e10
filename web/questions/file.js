// The file chooser: a file of the station's own folder.

import {element} from '../common/dom.js';
import {quote} from '../common/text.js';
import {getJSON} from '../connection/server.js';
import {QuestionBox} from './question-box.js';

function patternMatcher(patterns) {
  const parts =
      String(patterns || '*.*').split(';').map((p) => p.trim()).filter(Boolean).map((p) => {
        const body =
            p.replace(/[.+^${}()|[\]\\]/g, '\\$&').replace(/\*/g, '.*').replace(/\?/g, '.');
        // "*.*" names every file, with or without an extension, as on Windows.
        return p === '*.*' ? /^.*$/ : new RegExp(`^${body}$`, 'i');
      });
  return (name) => parts.some((re) => re.test(name));
}

export class FileChooser extends QuestionBox {
  constructor(q, state) {
    super(q, state, 'Open');
    this.folder = '';
    this.files = [];
    this.filters = q.filter?.length ? q.filter : [['All Files (*.*)', '*.*']];
    this.lookIn = element('div', {class: 'file-folder'});
    this.list = element('ul', {class: 'file-list tree-view', role: 'listbox', tabindex: '0'});
    this.name = element('input', {type: 'text', class: 'autofocus', spellcheck: false});
    this.type =
        element('select', {}, ...this.filters.map(([label]) => element('option', {}, label)));
    this.type.addEventListener('change', () => this.fillList());
    this.list.addEventListener('keydown', (e) => this.onListKey(e));
    this.body.append(
        this.lookIn,
        this.list,
        element('div', {class: 'field-row'}, element('label', {}, 'File name:'), this.name),
        element('div', {class: 'field-row'}, element('label', {}, 'Files of type:'), this.type),
        this.buttons,
    );
    this.addButton('&Open', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
    this.listed = getJSON('/api/files')
        .then((answer) => {
          this.folder = answer.folder ?? '';
          this.files = answer.files ?? [];
          this.lookIn.textContent = `Look in: ${this.folder}`;
          this.fillList();
        })
        .catch(() => (this.lookIn.textContent = 'The folder could not be read.'));
  }

  fillList() {
    const matches = patternMatcher(this.filters[this.type.selectedIndex]?.[1]);
    this.list.replaceChildren(
        ...this.files.filter(matches).map(
            (name) => element(
                'li',
                {
                  role: 'option',
                  dataset: {file: name},
                  onmousedown: () => this.pick(name),
                  ondblclick: () => {
                    this.pick(name);
                    this.confirm();
                  },
                },
                name,
                ),
            ),
    );
  }

  pick(name) {
    this.name.value = name;
    for (const li of this.list.children)
      li.setAttribute('aria-selected', String(li.dataset.file === name));
  }

  onListKey(e) {
    const names = [...this.list.children].map((li) => li.dataset.file);
    if (!names.length || !['ArrowDown', 'ArrowUp'].includes(e.key)) return;
    e.preventDefault();
    const at = names.indexOf(this.name.value);
    this.pick(
        names[Math.min(Math.max(at + (e.key === 'ArrowDown' ? 1 : -1), 0), names.length - 1)]);
  }

  // A name typed before the folder's listing came still names a file of
  // that folder, so the answer waits for it.
  confirm() {
    const name = this.name.value.trim();
    if (!name) return;
    this.listed.then(() => {
      const path = name.includes('/') || !this.folder ? name : `${this.folder}/${name}`;
      this.answer(`file ${quote(path)}`);
    });
  }

  cancel() {
    this.answer('file cancel');
  }
}
