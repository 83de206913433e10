import {element} from '../common/dom.js';
import {getJSON} from '../connection/server.js';
import {app} from '../connection/state.js';
import {showStatus} from '../main/status.js';
import {HostWindow} from './host-window.js';

// The system editor: one tab a file; Save writes every changed file whole
// (the server replaces each at once) and closes, Cancel closes.
class SystemEditorWindow extends HostWindow {
  constructor(files) {
    super('sysedit-window', 'System Configuration Editor', () => this.close());
    this.files = files.map((f) => ({...f, original: f.text}));
    this.tabs = element('menu', {role: 'tablist', class: 'sysedit-tabs'});
    this.panel = element('div', {class: 'window sysedit-panel', role: 'tabpanel'});
    this.editor = element('textarea', {class: 'sysedit-text', spellcheck: false, wrap: 'off'});
    this.editor.addEventListener('input', () => (this.current.text = this.editor.value));
    this.panel.append(element('div', {class: 'window-body'}, this.editor));
    this.message = element('p', {class: 'sysedit-message', role: 'status'});
    const buttons = element(
        'div', {class: 'sysedit-buttons'},
        element('button', {onclick: () => this.save()}, 'Save'),
        element('button', {onclick: () => this.close()}, 'Cancel'));
    this.body.append(this.tabs, this.panel, this.message, buttons);
    this.files.forEach((file, index) => {
      const tab = element('li', {role: 'tab'}, element('a', {href: '#'}, file.name));
      tab.addEventListener('click', (ev) => {
        ev.preventDefault();
        this.choose(index);
      });
      file.tab = tab;
      this.tabs.append(tab);
    });
    this.choose(0);
  }

  choose(index) {
    this.current = this.files[index];
    this.files.forEach((f) => f.tab.setAttribute('aria-selected', String(f === this.current)));
    this.editor.value = this.current.text;
    this.editor.focus();
  }

  async save() {
    for (const file of this.files.filter((f) => f.text !== f.original)) {
      const response = await fetch('/api/sysedit', {
        method: 'POST',
        headers: {'Content-Type': 'application/json'},
        body: JSON.stringify({file: file.name, text: file.text}),
      });
      const answer = await response.json().catch(() => ({ok: false, error: `HTTP ${response.status}`}));
      if (!answer.ok) {
        this.message.textContent = answer.error ?? 'The file could not be saved.';
        return;
      }
      file.original = file.text;
    }
    this.close();
  }

  close() {
    this.dispose();
    if (app.systemEditor === this) app.systemEditor = null;
  }
}

export async function openSystemEditor() {
  if (app.systemEditor) return app.systemEditor.editor.focus();
  try {
    const {files} = await getJSON('/api/sysedit');
    app.systemEditor ??= new SystemEditorWindow(files ?? []);
  } catch (error) {
    showStatus(`The system editor could not read the files: ${error.message}`, 'error');
  }
}

export function isSystemEditor(command) {
  return /(^|[\\/])sysedit\.exe$/i.test(String(command ?? ''));
}
