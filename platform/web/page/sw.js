// The page's service worker: keeps every file of one version of the game (their names carry
// a hash of their content, so a name always means the same bytes) for play without the
// network. The page itself comes from the network when it answers, else from the kept
// version, whose files are all here: a page never runs with another version's files. A new
// version is kept whole before it takes over, and the old one is then let go.
'use strict';

// Filled in for each version by make_dist.mjs.
const VERSION = 'dev';
const FILES = [];
const CACHE = `quellaro-${VERSION}`;
// A page that takes longer than this over the network comes from the kept version.
const PAGE_WAIT_MS = 4000;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // The page must be this version's: a newer one on the server names other files, and
    // its own worker keeps those.
    const page = await fetch(new Request('./', {cache: 'reload'}));
    if (!page.ok || !(await page.clone().text()).includes(VERSION)) {
      throw new Error('the server has another version of the page now');
    }
    // A versioned file's name stands for its bytes: the copy the page has just downloaded
    // (in the browser's cache) is the right one, and saves the player a second download.
    await cache.addAll(FILES.map((file) => new Request(file, {cache: 'force-cache'})));
    await cache.put('./', page);
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('quellaro-') && name !== CACHE) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

async function page(request) {
  const kept = caches.open(CACHE).then((cache) => cache.match('./'));
  // A server that answers with an error (a page gone, a server down for a moment) gives no
  // game: the kept version plays instead, when there is one. Redirects are no errors.
  const network = fetch(request).then(async (response) => {
    return response.status >= 400 ? (await kept) ?? response : response;
  });
  const late = new Promise((resolve) => setTimeout(resolve, PAGE_WAIT_MS));
  try {
    const first = await Promise.race([network, late.then(() => kept)]);
    if (first) return first;
    return await network;
  } catch (error) {
    return (await kept) ?? Response.error();
  }
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  if (request.mode === 'navigate') {
    event.respondWith(page(request));
    return;
  }
  // A versioned file is the same wherever it is kept; anything else goes to the network.
  event.respondWith(caches.match(request).then((hit) => hit ?? fetch(request)));
});
