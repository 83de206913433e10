// Building the page's elements, placing them and dragging windows.

export function element(tag, props = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (key === 'class')
      node.className = value;
    else if (key === 'dataset')
      Object.assign(node.dataset, value);
    else if (key.startsWith('on'))
      node.addEventListener(key.slice(2), value);
    else if (key in node && typeof value !== 'string')
      node[key] = value;
    else
      node.setAttribute(key, value);
  }
  for (const child of children)
    if (child != null) node.append(child);
  return node;
}

export function setRect(node, rect) {
  const [x, y, w, h] = rect ?? [0, 0, 0, 0];
  node.style.left = `${x}px`;
  node.style.top = `${y}px`;
  node.style.width = `${Math.max(w, 0)}px`;
  node.style.height = `${Math.max(h, 0)}px`;
}

// Moves a window by its title bar.
export function dragBy(handle, target) {
  handle.addEventListener('mousedown', (e) => {
    if (e.button !== 0 || e.target.closest('button')) return;
    const startX = e.clientX - target.offsetLeft;
    const startY = e.clientY - target.offsetTop;
    const move = (m) => {
      target.style.left = `${Math.max(m.clientX - startX, 0)}px`;
      target.style.top = `${Math.max(m.clientY - startY, 0)}px`;
    };
    const up = () => {
      document.removeEventListener('mousemove', move);
      document.removeEventListener('mouseup', up);
    };
    document.addEventListener('mousemove', move);
    document.addEventListener('mouseup', up);
    e.preventDefault();
  });
}

let idsGiven = 0;

// An element id that no other element of the page has.
export function nextId(prefix) {
  return `${prefix}-${++idsGiven}`;
}
