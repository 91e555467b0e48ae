// The offline copy of the site. The build writes in its version, a digest of every file, and
// the list of files, so the first visit stores the whole game, sounds included.
//
// A copy is whole or it is not kept: a file that cannot be fetched, or whose download stalls,
// fails the install, the partial copy is dropped and the page tells the player. Each build's
// files stay under that build's name for as long as a page of that build is open, so a page
// that started before a rebuild goes on getting its own build's sounds and pictures; the copy
// of a build no page uses any more is dropped.
"use strict";

const kVersion = "@VERSION@";
const kFiles = ["@FILES@"];
const kPrefix = "tovik-";
const kCache = kPrefix + kVersion;
// Which build each open page is of: one entry a page, named by the page's client id.
const kPages = "tovik-pages";
const kStallMs = 20000;

// One copy of each file, in the form this browser's page uses: the packed engine where the
// browser can unpack it, else the plain one.
const kPacked = typeof DecompressionStream === "function";
const kKept = kFiles.filter((file) => {
  const packed = file.endsWith(".gz");
  const hasPacked = kFiles.includes(file + ".gz");
  return kPacked ? !hasPacked : !packed;
});

// A fetch that gives up when no byte has come for a while, so a stalled link fails the install
// instead of holding it for ever.
async function fetchWhole(file) {
  const controller = new AbortController();
  let timer = setTimeout(() => controller.abort(), kStallMs);
  try {
    const response = await fetch(new Request(file, { cache: "reload" }), { signal: controller.signal });
    if (!response.ok) throw new Error(file + ": " + response.status);
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
      const step = await reader.read();
      if (step.done) break;
      chunks.push(step.value);
      clearTimeout(timer);
      timer = setTimeout(() => controller.abort(), kStallMs);
    }
    // Stored as the page will read it: unpacked, so only its type goes with it.
    const type = response.headers.get("Content-Type");
    return new Response(new Blob(chunks), { status: 200, headers: type ? { "Content-Type": type } : {} });
  } finally {
    clearTimeout(timer);
  }
}

self.addEventListener("install", (event) => {
  event.waitUntil(
    (async () => {
      try {
        const responses = await Promise.all(kKept.map(fetchWhole));
        const cache = await caches.open(kCache);
        await Promise.all(kKept.map((file, i) => cache.put(file, responses[i])));
      } catch (error) {
        await caches.delete(kCache);
        throw error; // the worker is not installed, and the page says so
      }
      await self.skipWaiting();
    })()
  );
});

// The build of the page `clientId`, as recorded when it was opened; a page not yet recorded is
// of this build.
async function buildOf(clientId) {
  if (!clientId) return kCache;
  const pages = await caches.open(kPages);
  const recorded = await pages.match("/" + clientId);
  if (recorded) return recorded.text();
  await pages.put("/" + clientId, new Response(kCache));
  return kCache;
}

// Drops the records of closed pages and every build that no open page is of, this one apart.
async function dropUnused() {
  const open = new Set((await self.clients.matchAll({ type: "window", includeUncontrolled: true })).map((c) => c.id));
  const pages = await caches.open(kPages);
  const used = new Set([kCache]);
  for (const request of await pages.keys()) {
    const id = new URL(request.url).pathname.slice(1);
    if (open.has(id)) used.add(await (await pages.match(request)).text());
    else await pages.delete(request);
  }
  for (const name of await caches.keys()) {
    if (name.startsWith(kPrefix) && name !== kPages && !used.has(name)) await caches.delete(name);
  }
}

self.addEventListener("activate", (event) => {
  event.waitUntil(
    (async () => {
      // The pages open before any worker came (the first visit) are of the build just stored.
      for (const client of await self.clients.matchAll({ type: "window", includeUncontrolled: true })) {
        await buildOf(client.id);
      }
      await dropUnused();
      await self.clients.claim();
    })()
  );
});

// Every file comes from the copy of its page's build; the address's query (?seed=) does not
// make another page. A page opened now is of the newest build. Anything else goes to the
// network as usual.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  const navigation = event.request.mode === "navigate";
  event.respondWith(
    (async () => {
      let build = kCache;
      if (navigation) {
        if (event.resultingClientId) {
          await (await caches.open(kPages)).put("/" + event.resultingClientId, new Response(kCache));
        }
        event.waitUntil(dropUnused());
      } else {
        build = await buildOf(event.clientId);
      }
      // A page whose build's copy has gone after all takes the newest one's.
      const stored =
        (await caches.match(event.request, { cacheName: build, ignoreSearch: true })) ||
        (await caches.match(event.request, { cacheName: kCache, ignoreSearch: true }));
      return stored || fetch(event.request);
    })()
  );
});
