// The station's state after a JSON Patch (RFC 6902: add, remove, replace),
// made without touching the state before it: the objects and arrays along
// each changed path are copied and everything else is shared, so a view
// can tell whether its part changed by comparing it with the one it drew.

// The keys of a JSON Pointer ("/dialogs/0/controls/12/text").
function keysOf(pointer) {
  if (pointer === '') return [];
  if (!pointer.startsWith('/')) throw new Error(`bad patch path "${pointer}"`);
  return pointer.slice(1).split('/').map((k) => k.replaceAll('~1', '/').replaceAll('~0', '~'));
}

function indexIn(array, key, {appending = false} = {}) {
  if (appending && key === '-') return array.length;
  const index = Number(key);
  const limit = appending ? array.length : array.length - 1;
  if (!/^(0|[1-9]\d*)$/.test(key) || index > limit) throw new Error(`bad patch index "${key}"`);
  return index;
}

function applyOne(container, key, op) {
  if (Array.isArray(container)) {
    if (op.op === 'add')
      container.splice(indexIn(container, key, {appending: true}), 0, op.value);
    else if (op.op === 'remove')
      container.splice(indexIn(container, key), 1);
    else if (op.op === 'replace')
      container[indexIn(container, key)] = op.value;
    else
      throw new Error(`patch operation "${op.op}" is not taken`);
    return;
  }
  if (op.op === 'add' || op.op === 'replace') {
    if (op.op === 'replace' && !(key in container)) throw new Error(`no "${op.path}" to replace`);
    container[key] = op.value;
  } else if (op.op === 'remove') {
    if (!(key in container)) throw new Error(`no "${op.path}" to remove`);
    delete container[key];
  } else {
    throw new Error(`patch operation "${op.op}" is not taken`);
  }
}

export function patched(state, ops) {
  const copies = new Set();  // the containers this patch already copied
  const root = {state};
  const own = (parent, key) => {
    const value = parent[key];
    if (value === null || typeof value !== 'object')
      throw new Error(`patch path goes through "${key}", which holds no object`);
    if (copies.has(value)) return value;
    const copy = Array.isArray(value) ? value.slice() : {...value};
    copies.add(copy);
    parent[key] = copy;
    return copy;
  };
  for (const op of ops) {
    const keys = keysOf(op.path);
    if (!keys.length) {
      if (op.op !== 'replace' && op.op !== 'add') throw new Error('the whole state cannot go');
      root.state = op.value;
      continue;
    }
    let container = own(root, 'state');
    for (const key of keys.slice(0, -1))
      container = own(container, Array.isArray(container) ? indexIn(container, key) : key);
    applyOne(container, keys.at(-1), op);
  }
  return root.state;
}
