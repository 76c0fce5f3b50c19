// The service worker: keeps one build's files so that the game loads and plays
// with no network. scripts/build-web puts `BUILD` (the version and the files)
// before this text.
//
// Install fetches every file of the build into the cache named after the
// version, asking the server each time (a file the browser has is confirmed,
// not fetched again, and a stale one is not kept). Activate deletes the caches
// of every other version. Requests for the build's files are answered from the
// cache; a page of the game with any query (?seed=...) is the cached page; the
// WAVs a browser without Opus falls back to are kept when first fetched.
'use strict';

const CACHE = 'quorvaner-' + BUILD.version;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await cache.addAll(['./', ...BUILD.files].map((file) => new Request(file, { cache: 'no-cache' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    const names = await caches.keys();
    await Promise.all(names.filter((name) => name.startsWith('quorvaner-') && name !== CACHE)
      .map((name) => caches.delete(name)));
    await self.clients.claim();
  })());
});

async function answer(request) {
  const cache = await caches.open(CACHE);
  const navigation = request.mode === 'navigate';
  const kept = await cache.match(request, { ignoreSearch: navigation });
  if (kept) return kept;
  const response = await fetch(request);
  if (response.ok && /\/sounds\/[^/]+\.wav$/.test(new URL(request.url).pathname)) {
    await cache.put(request, response.clone());
  }
  return response;
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(answer(request));
});
