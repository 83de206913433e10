// The page's own state: the station's latest state and the windows drawn from it.

export const app = {
  state: null,
  tail: Promise.resolve(),
  pending: 0,
  refusals: 0,    // commands the station refused so far
  keystrokes: 0,  // keystrokes waiting for their turn (see onKeystroke)
  replaying: false,
  windows: new Map(),  // hwnd of a dialog (not a page) -> DialogWindow
  question: null,      // QuestionBox
  menu: null,          // MenuBar
  help: null,          // HelpWindow
  systemEditor: null,  // SystemEditorWindow
  contextMenu: null,   // ContextMenu
};
