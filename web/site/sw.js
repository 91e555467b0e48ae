// The offline copy of the site. The build writes in its version, a digest of every file, and
// the list of files, so the first visit stores the whole game, sounds included, and a new
// build's worker stores its own files and then drops the old build's.
"use strict";

const kVersion = "@VERSION@";
const kFiles = ["@FILES@"];
const kCache = "tovik-" + kVersion;

self.addEventListener("install", (event) => {
  event.waitUntil(
    caches
      .open(kCache)
      .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: "reload" }))))
      .then(() => self.skipWaiting())
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names.filter((name) => name.startsWith("tovik-") && name !== kCache).map((name) => caches.delete(name))
        )
      )
      .then(() => self.clients.claim())
  );
});

// Every file of this build comes from the copy; the address's query (?seed=) does not make
// another page. Anything else goes to the network as usual.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(
    caches
      .open(kCache)
      .then((cache) => cache.match(event.request, { ignoreSearch: true }))
      .then((stored) => stored || fetch(event.request))
  );
});
