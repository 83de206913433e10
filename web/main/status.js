// The status bar's message field.

export function showStatus(text, kind = 'info') {
  const field = document.getElementById('status-message');
  field.textContent = text;
  field.dataset.kind = kind;
  field.title = text;
}
