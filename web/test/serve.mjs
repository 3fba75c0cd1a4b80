// A small static server for the page: node serve.mjs FOLDER [PORT]; prints the address.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";

const root = path.resolve(process.argv[2] || ".");
const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm",
                ".json": "application/manifest+json", ".png": "image/png", ".dat": "application/octet-stream" };
export function serve(folder, port = 0) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const file = path.join(folder, name === "/" ? "index.html" : name);
    if (!file.startsWith(folder) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(port, "127.0.0.1", () => resolve(server)));
}
if (import.meta.url === `file://${process.argv[1]}`) {
  const server = await serve(root, parseInt(process.argv[3] || "0", 10));
  console.log(`serving ${root} at http://127.0.0.1:${server.address().port}/`);
}
