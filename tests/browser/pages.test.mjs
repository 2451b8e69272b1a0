// The pages in Debian's Chromium, headless, against `palomas-cli servir` on a generated
// exhibition: a steward on a 360 x 740 phone enters with the key (typed, or from the network
// window's QR code), keeps the judge from cage to cage and sees each send's result beside the
// button, also while the server is stopped and started again; the board and the hall's screen
// show a bird once it is finished, and no listing cuts a column at 360, 1280 or 1920 px.
//
// Environment: PALOMAS_CLI and PALOMAS_GENERATE (the programs), CHROMIUM (default /usr/bin/chromium).
// Exit 77 (skipped) only when Chromium is not installed.

import { spawn, execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import assert from "node:assert/strict";

const chromiumPath = process.env.CHROMIUM || "/usr/bin/chromium";
if (!existsSync(chromiumPath)) {
  console.log(`SALTADA: no está instalado Chromium (${chromiumPath}); scripts/setup.sh lo instala.`);
  process.exit(77);
}
let chromium;
try {
  ({ chromium } = await import("playwright-core"));
} catch (e) {
  console.error("Falta playwright-core: ejecute «npm ci» en tests/browser (scripts/setup.sh lo hace).");
  process.exit(1);
}

const cli = process.env.PALOMAS_CLI;
const generate = process.env.PALOMAS_GENERATE;
assert.ok(cli && generate, "PALOMAS_CLI y PALOMAS_GENERATE deben indicar los programas");

const folder = mkdtempSync(path.join(tmpdir(), "palomas-navegador-"));
const key = "Pichon2024";
const sql = (file, query) => execFileSync("sqlite3", [file, query], { encoding: "utf8" }).trim();

// 300 cages, 5 judges each (listings taller than a screen); the first three judged cages keep
// judges 1 to 3 only, so they are unfinished and judge 4 still has them to score.
const exhibition = execFileSync(generate, [folder, "300", "5"], { encoding: "utf8" }).trim();
const clubs = path.join(folder, "Club.mdb");
const cages = sql(exhibition, "SELECT jaula FROM Recepcion WHERE grupo IN ('A','B','C') ORDER BY jaula LIMIT 3").split("\n").map(Number);
const [cage, second, third] = cages;
const [grupo, sexo, owner] = sql(exhibition, `SELECT grupo, sexo, nombre FROM Recepcion WHERE jaula = ${cage}`).split("|");
sql(exhibition, `DELETE FROM Puntos WHERE jaula IN ('${cages.join("','")}') AND juez >= 4`);
execFileSync(cli, ["recalcular", exhibition]);
const rows = (jaula, juez) => sql(exhibition, `SELECT count(*) FROM Puntos WHERE jaula = '${jaula}' AND juez = ${juez}`);

let server = null;
let output = "";
async function serve(port) {
  server = spawn(cli, ["servir", exhibition, "--puerto", String(port), "--clave", key, "--clubs", clubs]);
  output = "";
  server.stdout.on("data", (chunk) => (output += chunk));
  server.stderr.on("data", (chunk) => process.stderr.write(chunk));
  const found = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error("el servidor no ha dicho dónde sirve: " + output)), 15000);
    server.stdout.on("data", () => {
      const line = output.match(/^Sirviendo en http:\/\/\S+:(\d+)\/ clave (\S+)$/m);
      if (line) { clearTimeout(timer); resolve(line); }
    });
    server.on("exit", (code) => reject(new Error("el servidor ha terminado con " + code + ": " + output)));
  });
  assert.equal(found[2], key);
  return Number(found[1]);
}
async function stop() {
  const exited = new Promise((resolve) => server.on("exit", resolve));
  server.kill("SIGTERM");
  const code = await exited;
  assert.equal(code, 0, "servir terminó con " + code);
  assert.ok(output.includes("Servidor parado."), "servir no dijo que paraba: " + output);
  server = null;
}

const port = await serve(0);
const base = `http://127.0.0.1:${port}`;
const browser = await chromium.launch({
  executablePath: chromiumPath,
  args: ["--no-sandbox", "--no-proxy-server", "--disable-gpu"],
});
const open = async (address, width, height, phone = false) => {
  const page = await (await browser.newContext({ viewport: { width, height }, isMobile: phone, hasTouch: phone })).newPage();
  await page.goto(base + address);
  return page;
};
// The result of a send, as the steward reads it beside "Enviar", without scrolling.
async function said(phone, text) {
  const result = phone.locator("#resultado");
  await result.filter({ hasText: text }).waitFor({ timeout: 15000 });
  assert.equal(await result.textContent(), text);
  const box = await result.boundingBox();
  assert.ok(box.y >= 0 && box.y + box.height <= 740, `«${text}» fuera de la pantalla: ${JSON.stringify(box)}`);
}
async function score(phone, scores) {
  for (let i = 0; i < 5; i++) await phone.fill(`#p${i + 1}`, scores[i]);
}
let failed = false;
try {
  const listing = `section[data-listado="${grupo}${sexo}"]`;
  const board = await open("/", 1280, 900);
  const screen = await open(`/pantalla?listados=${grupo}${sexo}`, 1920, 1080);
  const turns = await open("/pantalla?listados=provincias,DA", 1920, 1080);
  await board.locator(`${listing} table`).waitFor({ timeout: 15000 });
  assert.equal(await board.locator(`${listing} tr[data-jaula="${cage}"]`).count(), 0, "jaula sin terminar en el tablero");

  // The steward's phone, arriving from a cage's QR code: the key box takes letters.
  const phone = await open(`/puntuar?jaula=${cage}`, 360, 740, true);
  await phone.locator("#clave").waitFor();
  assert.deepEqual(await phone.$eval("#clave", (e) => [e.inputMode, e.getAttribute("autocapitalize"), e.pattern]),
    ["text", "characters", ""]);
  await phone.fill("#clave", "Gavilan2024");
  await phone.click("#entrar button");
  await phone.locator("#aviso").filter({ hasText: "La clave no es correcta." }).waitFor();
  await phone.fill("#clave", key);
  await phone.click("#entrar button");
  await phone.locator("#paloma").waitFor();
  assert.equal(await phone.textContent("#p-jaula"), String(cage));
  assert.equal(await phone.locator("#jueces tbody tr").count(), 3);
  assert.ok(!(await phone.textContent("body")).includes(owner), "la página muestra el propietario");

  // Judge 4; a score out of its range is refused with the window's words, and nothing is sent.
  await phone.selectOption("#juez", "4");
  await score(phone, ["8,5", "8,75", "16,5", "28", "27,5"]);
  await phone.click("#enviar");
  await said(phone, `Jaula ${cage}, juez 4: Puntuacion Erronea `);
  assert.equal(rows(cage, 4), "0");
  await phone.fill("#p3", "18,25");
  assert.equal(await phone.textContent("#total"), "91,00");
  let posts = 0;
  phone.on("request", (r) => (posts += r.method() === "POST" && r.url().endsWith("/puntuaciones") ? 1 : 0));
  await phone.dblclick("#enviar"); // a double tap sends once
  await said(phone, `Jaula ${cage}, juez 4: guardada`);
  assert.equal(posts, 1);
  assert.equal(sql(exhibition, `SELECT puntos1, puntos3, puntost FROM Puntos WHERE jaula = '${cage}' AND juez = 4`),
    "8.5|18.25|91.0");

  // The judge stays; the cages he still has to score, and the next one.
  await phone.waitForFunction((want) => [...document.querySelectorAll("#pendientes button")].map((b) => b.textContent).join() === want,
    `${second},${third}`, { timeout: 10000 });
  await phone.click("#siguiente");
  await phone.locator("#p-jaula").filter({ hasText: new RegExp(`^${second}$`) }).waitFor();

  // The server stops: the score stays on the phone; the server comes back with the same key and
  // port, and the retry stores it without the key asked again.
  await stop();
  await score(phone, ["8", "9", "18", "28", "29"]);
  await phone.click("#enviar");
  await said(phone, `Jaula ${second}, juez 4: No guardada: sin conexión`);
  assert.equal(await serve(port), port);
  await phone.click("#reintentar");
  await said(phone, `Jaula ${second}, juez 4: guardada`);
  assert.equal(rows(second, 4), "1");
  // A score kept from another show on the same address is never offered to this one.
  await phone.evaluate((c) => localStorage.setItem("palomas.sinEnviar",
    JSON.stringify([{ jaula: c, juez: 5, puntos: [8, 8, 17, 27, 27], expo: "Otra", cuando: Date.now() }])), cage);
  await phone.reload();
  await phone.locator("#trabajo").waitFor();
  assert.ok(await phone.locator("#entrar").isHidden(), "la página vuelve a pedir la clave");
  assert.ok(await phone.locator("#sin-enviar").isHidden(), "ofrece una puntuación de otra exposición");
  assert.equal(await phone.inputValue("#juez"), "4");

  // A score stored whose answer was lost: the retry says it was already there, and stores nothing.
  await phone.click("#siguiente");
  await phone.locator("#p-jaula").filter({ hasText: new RegExp(`^${third}$`) }).waitFor();
  await phone.route("**/puntuaciones", async (route) => { await route.fetch(); await route.abort(); });
  await score(phone, ["9", "9", "19", "29", "29"]);
  await phone.click("#enviar");
  await said(phone, `Jaula ${third}, juez 4: No guardada: sin conexión`);
  await phone.unroute("**/puntuaciones");
  await phone.click("#reintentar");
  await said(phone, `Jaula ${third}, juez 4: ya estaba guardada`);
  assert.equal(rows(third, 4), "1");

  // The network window's QR code: in with its key, which leaves the address at once.
  const scanned = await open(`/puntuar#clave=${key.toUpperCase()}`, 360, 740, true);
  await scanned.locator("#trabajo").waitFor();
  assert.equal(scanned.url(), base + "/puntuar");

  // The fifth judge finishes the bird: the board and the screen show it within 5 s.
  const stored = await fetch(`${base}/api/jaulas/${cage}/puntuaciones`, {
    method: "POST", headers: { Authorization: "Bearer " + key }, body: JSON.stringify({ juez: 5, puntos: [8, 8, 17, 27, 27] }) });
  assert.equal(stored.status, 201);
  await Promise.all([board, screen].map((page) =>
    page.locator(`tr[data-jaula="${cage}"]`).first().waitFor({ state: "attached", timeout: 5000 })));

  // The screen scrolls a long listing by itself and shows its listings in turn.
  await screen.waitForFunction(() => document.getElementById("listado").scrollTop > 0, null, { timeout: 20000 });
  const first = await turns.textContent("#titulo");
  await turns.waitForFunction((t) => document.getElementById("titulo").textContent !== t, first, { timeout: 20000 });

  // No column cut: each table within its box and the screen, every cell whole but a name's.
  for (const [width, height] of [[360, 740], [1280, 900], [1920, 1080]]) {
    for (const page of [board, screen]) {
      await page.setViewportSize({ width, height });
      const cut = await page.evaluate(() => [...document.querySelectorAll("table")].flatMap((t) => {
        const where = (t.closest("section")?.dataset.listado ?? "pantalla") + " a " + innerWidth + ": ";
        const last = t.tHead.rows[0].lastElementChild.getBoundingClientRect().right;
        const cells = [...t.querySelectorAll("td:not(.c-nombre), th:not(.c-nombre)")];
        return [t.scrollWidth > t.parentElement.clientWidth ? `tabla ${t.scrollWidth} > ${t.parentElement.clientWidth}` : [],
          last > innerWidth ? `última columna en ${last}` : [],
          cells.filter((c) => c.scrollWidth > c.clientWidth).map((c) => `«${c.textContent}» cortado`)].flat().map((w) => where + w);
      }));
      assert.deepEqual(cut, []);
    }
  }
} catch (e) {
  failed = true;
  console.error(e);
  for (const [i, context] of browser.contexts().entries())
    await context.pages()[0].screenshot({ path: path.join(tmpdir(), `palomas-navegador-${i}.png`), fullPage: true }).catch(() => {});
} finally {
  await browser.close();
  try {
    if (server) await stop();
  } catch (e) {
    failed = true;
    console.error(e);
  }
  rmSync(folder, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
