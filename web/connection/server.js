// Talking to the server: its JSON answers and the command endpoint, whose
// answers leave the state out (the page takes it from the stream).

export async function getJSON(url) {
  const response = await fetch(url, {cache: 'no-store'});
  if (!response.ok) throw new Error(`${url}: HTTP ${response.status}`);
  return response.json();
}

export async function postCommand(line) {
  const response = await fetch('/api/command', {
    method: 'POST',
    headers: {'Content-Type': 'application/json'},
    body: JSON.stringify({command: line, state: false}),
  });
  try {
    return await response.json();
  } catch {
    return {ok: false, error: `The server answered HTTP ${response.status}.`, events: []};
  }
}
