// The page works offline: every file of the site is kept at install and served from the
// cache first; a new version of this file brings a new cache and drops the old one.
const kCache = "vellum-@VELLUM_SITE_VERSION@";
const kFiles = ["./", "index.html", "vellum.js", "vellum.wasm", "manifest.webmanifest", "icon-192.png", "icon-512.png",
                @VELLUM_PAGE_MODULES@];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n !== kCache).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  const url = new URL(event.request.url);
  // The page with any query is the same page.
  const key = url.origin === location.origin && url.pathname.endsWith("/") ? "./" : event.request;
  event.respondWith(caches.match(key, { ignoreSearch: true }).then((hit) => hit || fetch(event.request)));
});
