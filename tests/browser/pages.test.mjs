// The two pages in Debian's Chromium, headless, against `palomas-cli servir` on a generated
// exhibition: a steward types the key, a cage and five scores on a phone's screen and sees the
// row; the results board on another screen changes once the score is stored.
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
const key = "246810";
const sql = (file, query) => execFileSync("sqlite3", [file, query], { encoding: "utf8" }).trim();

// An exhibition of 60 cages, 5 judges each; one judged cage is left with judges 1 to 3 only.
const exhibition = execFileSync(generate, [folder, "60", "5"], { encoding: "utf8" }).trim();
const clubs = path.join(folder, "Club.mdb");
const cage = Number(sql(exhibition, "SELECT jaula FROM Recepcion WHERE grupo IN ('A','B','C') ORDER BY jaula LIMIT 1"));
const [grupo, sexo, owner] = sql(exhibition, `SELECT grupo, sexo, nombre FROM Recepcion WHERE jaula = ${cage}`).split("|");
sql(exhibition, `DELETE FROM Puntos WHERE jaula = '${cage}' AND juez >= 4`);

const server = spawn(cli, ["servir", exhibition, "--puerto", "0", "--clave", key, "--clubs", clubs]);
let output = "";
server.stdout.on("data", (chunk) => (output += chunk));
server.stderr.on("data", (chunk) => process.stderr.write(chunk));
const serving = await new Promise((resolve, reject) => {
  const timer = setTimeout(() => reject(new Error("el servidor no ha dicho dónde sirve: " + output)), 15000);
  server.stdout.on("data", () => {
    const found = output.match(/^Sirviendo en http:\/\/(\S+):(\d+)\/ clave (\d+)$/m);
    if (found) { clearTimeout(timer); resolve(found); }
  });
  server.on("exit", (code) => reject(new Error("el servidor ha terminado con " + code + ": " + output)));
});
assert.equal(serving[3], key);
const base = `http://127.0.0.1:${serving[2]}`;

const browser = await chromium.launch({
  executablePath: chromiumPath,
  args: ["--no-sandbox", "--no-proxy-server", "--disable-gpu"],
});
let failed = false;
try {
  // The board, on a screen of the hall.
  const board = await (await browser.newContext({ viewport: { width: 1280, height: 900 } })).newPage();
  await board.goto(base + "/");
  const boardRow = board.locator(`section[data-listado="${grupo}${sexo}"] tr[data-jaula="${cage}"] td`).last();
  await boardRow.waitFor({ timeout: 15000 });
  const scoreBefore = await boardRow.textContent();

  // From the board (the address the network window's QR code opens), the stewards' page is a
  // tap away.
  const fromBoard = await (await browser.newContext({ viewport: { width: 360, height: 640 }, isMobile: true, hasTouch: true })).newPage();
  await fromBoard.goto(base + "/");
  await fromBoard.locator("section[data-listado] table").first().waitFor();
  // The board fits the phone: a listing wider than it scrolls in its own box.
  assert.deepEqual(await fromBoard.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]), [360, 360]);
  await fromBoard.click("footer a");
  await fromBoard.locator("#clave").waitFor();
  assert.equal(new URL(fromBoard.url()).pathname, "/puntuar");

  // The steward's phone, arriving from a cage's QR code.
  const phone = await (await browser.newContext({ viewport: { width: 360, height: 640 }, isMobile: true, hasTouch: true })).newPage();
  await phone.goto(`${base}/puntuar?jaula=${cage}`);
  await phone.locator("#clave").waitFor();
  await phone.fill("#clave", "111111");
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
  const scores = ["8,5", "8,75", "18,25", "28", "27,5"];
  for (let i = 0; i < 5; i++) await phone.fill(`#p${i + 1}`, scores[i]);
  await phone.fill("#p3", "16,5");
  await phone.click("#puntuacion button");
  assert.equal(await phone.locator("#aviso").textContent(), "Puntuacion Erronea ");
  assert.equal(sql(exhibition, `SELECT count(*) FROM Puntos WHERE jaula = '${cage}'`), "3");

  await phone.fill("#p3", "18,25");
  assert.equal(await phone.textContent("#total"), "91,00");
  await phone.click("#puntuacion button");
  await phone.locator('#jueces tbody tr[data-juez="4"]').waitFor();
  assert.equal(await phone.locator("#hecho").textContent(), `Guardada la puntuación del juez 4 en la jaula ${cage}.`);
  assert.equal(sql(exhibition, `SELECT puntos1, puntos3, puntost FROM Puntos WHERE jaula = '${cage}' AND juez = 4`),
    "8.5|18.25|91.0");

  // The board shows the bird's new score by itself.
  const stored = Number(sql(exhibition, `SELECT puntos FROM Recepcion WHERE jaula = ${cage}`));
  const shown = stored.toLocaleString("es-ES", { minimumFractionDigits: 2, maximumFractionDigits: 2 });
  assert.notEqual(shown, scoreBefore, "la puntuación debería cambiar con el cuarto juez");
  await board.waitForFunction(
    ([selector, text]) => document.querySelector(selector)?.lastElementChild?.textContent === text,
    [`section[data-listado="${grupo}${sexo}"] tr[data-jaula="${cage}"]`, shown],
    { timeout: 20000 });
  console.log(`Jaula ${cage}: ${scoreBefore} → ${shown} en el tablero`);
} catch (e) {
  failed = true;
  console.error(e);
  for (const context of browser.contexts())
    for (const page of context.pages())
      await page.screenshot({ path: path.join(tmpdir(), `palomas-navegador-${page.viewportSize().width}.png`), fullPage: true }).catch(() => {});
} finally {
  await browser.close();
  server.kill("SIGTERM");
  const code = await new Promise((resolve) => server.on("exit", resolve));
  if (code !== 0) { failed = true; console.error("servir terminó con " + code); }
  if (!output.includes("Servidor parado.")) { failed = true; console.error("servir no dijo que paraba: " + output); }
  rmSync(folder, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
