// The page works offline: every file of the site is kept at install and served from the
// cache first; a new version of this file brings a new cache and drops the old one.
const kCache = "vellum-@VELLUM_SITE_VERSION@";
const kFiles = ["./", "index.html", "page.css", "vellum.js", "vellum.wasm", "manifest.webmanifest", "icon-192.png",
                "icon-512.png", @VELLUM_PAGE_MODULES@];

// Fetched past the browser's HTTP cache, so that a new version is never kept with a file
// of the old one (a new vellum.wasm beside an old vellum.js); all of them or none.
self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(kCache)
    .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: "reload" }))))
    .then(() => self.skipWaiting()));
});

// Only this site's own caches are ours to drop.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith("vellum-") && n !== kCache).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The site's own files, from its own cache: the page with any query for the site's
// folder itself; anything else (another path, another origin) goes to the network.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  const url = new URL(event.request.url);
  const scope = new URL(self.registration.scope);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  const path = url.pathname.slice(scope.pathname.length);
  const file = path === "" ? "./" : path;
  if (!kFiles.includes(file)) return;
  const key = new URL(file, scope).href;
  event.respondWith(caches.open(kCache)
    .then((cache) => cache.match(key, { ignoreSearch: file === "./" || file === "index.html" }))
    .then((hit) => hit || fetch(event.request)));
});
