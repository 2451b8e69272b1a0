"use strict";
// The scoring page: the key once (typed, or from the network window's QR code), the judge once,
// then cage after cage: its bird (never its owner) and the judge's five scores, checked as the
// judging window checks them, with its words, before they are sent; the server checks them again.
// A score stays kept on the phone until the server has answered for it: a dropped network or a
// stopped server loses nothing, and a retry never stores it twice, since the server answers a
// score it already holds with "guardada".

const $ = (id) => document.getElementById(id);
const JUEZ = "palomas.juez"; // what the phone keeps (localStorage)
const SIN_ENVIAR = "palomas.sinEnviar";
const ESPERA_MS = 15000; // a request unanswered by then counts as lost: its score stays kept
const SIN_CONEXION = "Sin conexión con el servidor.";
const JAULAS_A_LA_VISTA = 12;
const VIGENCIA_MS = 4 * 24 * 3600 * 1000; // a show lasts a long weekend

let exposicion = null;
let jaulaActual = null;
let pendientes = null; // the cages the chosen judge still has to score, as the server last said
let enviando = false;

function mostrar(id, visible) { $(id).hidden = !visible; }

function aviso(texto) {
  $("aviso").textContent = texto;
  mostrar("aviso", texto !== "");
}

function coma(valor) {
  return valor.toLocaleString("es-ES", { minimumFractionDigits: 2, maximumFractionDigits: 3 });
}

// A number as typed in the judging window: the decimal comma (or point), nothing else.
function leerNumero(texto) {
  const t = texto.trim();
  if (!/^\d{1,3}([.,]\d+)?$/.test(t)) return null;
  return Number(t.replace(",", "."));
}

// The phone's storage may be refused (private browsing, full): the page then keeps nothing.
function leerGuardado(clave, sinNada) {
  try {
    const texto = localStorage.getItem(clave);
    return texto === null ? sinNada : JSON.parse(texto);
  } catch (e) {
    return sinNada;
  }
}

function guardar(clave, valor) {
  try { localStorage.setItem(clave, JSON.stringify(valor)); } catch (e) { /* kept on screen only */ }
}

class SinConexion extends Error {}

async function pedir(url, opciones = {}) {
  const corte = new AbortController();
  const reloj = setTimeout(() => corte.abort(), ESPERA_MS);
  try {
    const respuesta = await fetch(url, { credentials: "same-origin", cache: "no-store", signal: corte.signal, ...opciones });
    let cuerpo = null;
    try { cuerpo = await respuesta.json(); } catch (e) { cuerpo = null; }
    return { estado: respuesta.status, cuerpo };
  } catch (e) {
    throw new SinConexion();
  } finally {
    clearTimeout(reloj);
  }
}

const enviarJson = (objeto) => ({
  method: "POST", headers: { "Content-Type": "application/json" }, body: JSON.stringify(objeto),
});

function pedirClave(texto) {
  mostrar("entrar", true);
  mostrar("trabajo", false);
  aviso(texto || "");
  $("clave").focus();
}

function juezElegido() {
  const juez = Number($("juez").value);
  return $("juez").value !== "" && Number.isInteger(juez) && juez >= 1 && juez <= exposicion.jueces ? juez : null;
}

function construir() {
  const caja = $("apartados");
  caja.textContent = "";
  exposicion.apartados.forEach((apartado, i) => {
    const etiqueta = document.createElement("label");
    etiqueta.className = "apartado";
    etiqueta.htmlFor = "p" + (i + 1);
    etiqueta.textContent = apartado.nombre + " ";
    const rango = document.createElement("span");
    rango.className = "rango";
    rango.textContent = apartado.rango;
    etiqueta.appendChild(rango);
    const entrada = document.createElement("input");
    entrada.id = "p" + (i + 1);
    entrada.inputMode = "decimal";
    entrada.autocomplete = "off";
    entrada.placeholder = "0,00";
    entrada.addEventListener("input", sumar);
    caja.append(etiqueta, entrada);
  });

  const selector = $("juez");
  for (let j = 1; j <= exposicion.jueces; j++) selector.add(new Option(String(j), String(j)));
  const guardado = leerGuardado(JUEZ, null);
  if (Number.isInteger(guardado) && guardado >= 1 && guardado <= exposicion.jueces) selector.value = String(guardado);
  selector.addEventListener("change", () => {
    guardar(JUEZ, juezElegido());
    if (jaulaActual) abrirFormulario(false);
    cargarPendientes();
  });
}

function sumar() {
  let total = 0;
  for (let i = 1; i <= exposicion.apartados.length; i++) total += leerNumero($("p" + i).value) || 0;
  $("total").textContent = coma(Math.round(total * 100) / 100);
}

function mostrarJaula(jaula, nueva) {
  jaulaActual = jaula;
  $("p-jaula").textContent = jaula.jaula;
  $("p-grupo").textContent = jaula.grupo;
  $("p-sexo").textContent = jaula.sexo === "M" ? "Macho" : "Hembra";
  $("p-categ").textContent = jaula.categ;
  $("p-anilla").textContent = jaula.anilla;
  $("p-anio").textContent = jaula.anio;
  $("p-puntos").textContent = coma(jaula.puntos) + (jaula.termina === "S" ? " (terminada)" : "");
  const cuerpo = $("jueces").tBodies[0];
  cuerpo.textContent = "";
  for (const fila of jaula.jueces) {
    const tr = cuerpo.insertRow();
    tr.dataset.juez = fila.juez;
    tr.insertCell().textContent = fila.juez;
    for (const p of fila.puntos) tr.insertCell().textContent = coma(p);
    tr.insertCell().textContent = coma(fila.total);
  }
  mostrar("paloma", true);
  abrirFormulario(nueva);
}

// The five boxes only when the chosen judge can score the cage on view; otherwise why not.
function abrirFormulario(vaciar) {
  const jaula = jaulaActual;
  const juez = juezElegido();
  let cerrada = "";
  if (jaula.grupo.toUpperCase() === "D") cerrada = exposicion.mensajes.grupoD;
  else if (juez === null) cerrada = "Elija el juez.";
  else if (jaula.jueces.some((f) => f.juez === juez)) cerrada = "El juez " + juez + " ya la puntuó.";
  else if (jaula.jueces.length >= exposicion.jueces) cerrada = "Ya la puntuaron todos los jueces.";
  $("cerrada").textContent = cerrada;
  mostrar("cerrada", cerrada !== "");
  mostrar("puntuacion", cerrada === "");
  mostrar("enviar", cerrada === "");
  if (vaciar) {
    for (let i = 1; i <= exposicion.apartados.length; i++) $("p" + i).value = "";
    sumar();
  }
}

// A cage on view; what went wrong is told where the steward looks: under the cage box, or beside
// the buttons for "Siguiente jaula".
async function buscar(numero, decir = aviso) {
  aviso("");
  let respuesta;
  try {
    respuesta = await pedir("/api/jaulas/" + encodeURIComponent(numero));
  } catch (e) {
    return decir(SIN_CONEXION);
  }
  const { estado, cuerpo } = respuesta;
  if (estado === 401) return pedirClave(cuerpo && cuerpo.error);
  if (estado !== 200) return decir(cuerpo ? cuerpo.error : "No se ha podido leer la jaula.");
  $("jaula").value = cuerpo.jaula;
  mostrarJaula(cuerpo, true);
  if (!$("puntuacion").hidden) $("p1").focus();
}

async function cargarPendientes() {
  const juez = juezElegido();
  const caja = $("pendientes");
  if (juez === null) {
    pendientes = null;
    caja.textContent = "Elija el juez.";
    return;
  }
  let respuesta;
  try {
    respuesta = await pedir("/api/jueces/" + juez + "/pendientes");
  } catch (e) {
    return false; // the last list stays
  }
  if (respuesta.estado === 401) {
    pedirClave(respuesta.cuerpo && respuesta.cuerpo.error);
    return null;
  }
  if (juez !== juezElegido()) return null; // another judge chosen meanwhile: his list comes
  if (respuesta.estado !== 200) return false;
  pendientes = respuesta.cuerpo.jaulas;
  caja.textContent = pendientes.length === 0
    ? "Al juez " + juez + " no le falta ninguna jaula."
    : "Le faltan " + pendientes.length + ": ";
  for (const numero of pendientes.slice(0, JAULAS_A_LA_VISTA)) {
    const boton = document.createElement("button");
    boton.type = "button";
    boton.className = "jaula";
    boton.textContent = numero;
    boton.addEventListener("click", () => buscar(String(numero)));
    caja.append(boton, " ");
  }
  if (pendientes.length > JAULAS_A_LA_VISTA) caja.append("…");
  return true;
}

// The judge's next cage after the one on view (or the first again): as the server says now,
// since other phones score too.
async function siguiente() {
  const decir = (texto) => resultado([texto], false);
  const juez = juezElegido();
  if (juez === null) return decir("Elija el juez.");
  const leidas = await cargarPendientes();
  if (leidas === null) return;
  if (!leidas) return decir(SIN_CONEXION);
  if (pendientes.length === 0) return decir("Al juez " + juez + " no le falta ninguna jaula.");
  const actual = jaulaActual ? jaulaActual.jaula : 0;
  await buscar(String(pendientes.find((n) => n > actual) ?? pendientes[0]), decir);
}

async function entrarCon(clave) {
  let respuesta;
  try {
    respuesta = await pedir("/entrar", enviarJson({ clave }));
  } catch (e) {
    aviso(SIN_CONEXION);
    return false;
  }
  if (respuesta.estado === 200) return true;
  pedirClave(respuesta.cuerpo ? respuesta.cuerpo.error : "No se ha podido entrar.");
  return false;
}

function abrirTrabajo() {
  aviso("");
  mostrar("entrar", false);
  mostrar("trabajo", true);
  pintarSinEnviar();
  cargarPendientes();
  const pedida = new URLSearchParams(location.search).get("jaula");
  if (jaulaActual) return;
  if (pedida) buscar(pedida);
  else $("jaula").focus();
}

// The scores not yet answered for, kept on the phone: one per cage and judge. A score kept from
// another show on the same address (last year's, another club's) is never sent to this one.
function sinEnviar() {
  const lista = leerGuardado(SIN_ENVIAR, []);
  return Array.isArray(lista)
    ? lista.filter((e) => e && Number.isInteger(e.jaula) && Number.isInteger(e.juez) && Array.isArray(e.puntos) &&
        e.expo === exposicion.nombre && Date.now() - e.cuando < VIGENCIA_MS)
    : [];
}

function quitarSinEnviar(envio) {
  guardar(SIN_ENVIAR, sinEnviar().filter((e) => e.jaula !== envio.jaula || e.juez !== envio.juez));
}

function pintarSinEnviar() {
  const lista = sinEnviar();
  $("sin-enviar-lista").textContent = lista
    .map((e) => "Sin enviar: jaula " + e.jaula + ", juez " + e.juez + " (" + e.puntos.map(coma).join(" · ") + ")")
    .join("\n");
  mostrar("sin-enviar", lista.length > 0);
}

function resultado(lineas, bien) {
  const caja = $("resultado");
  caja.textContent = lineas.join("\n");
  caja.className = bien ? "bien" : "mal";
  $("acciones").scrollIntoView({ block: "nearest" });
}

// One score to the server; the line that tells how it went. Only an answer that settles it
// (stored, already stored, refused for good) takes it off the phone.
async function mandarUna(envio) {
  const quien = "Jaula " + envio.jaula + ", juez " + envio.juez + ": ";
  let respuesta;
  try {
    respuesta = await pedir("/api/jaulas/" + envio.jaula + "/puntuaciones", enviarJson({ juez: envio.juez, puntos: envio.puntos }));
  } catch (e) {
    return { texto: quien + "No guardada: sin conexión", bien: false };
  }
  const { estado, cuerpo } = respuesta;
  const motivo = cuerpo && cuerpo.error ? cuerpo.error : "error " + estado;
  const yaEstaba = estado === 409 && cuerpo && cuerpo.guardada === true;
  if (estado === 201 || yaEstaba || estado === 400 || estado === 404 || estado === 409) quitarSinEnviar(envio);
  if (estado === 401) pedirClave(motivo);
  if (estado === 201) {
    if (jaulaActual && jaulaActual.jaula === envio.jaula) mostrarJaula(cuerpo, true);
    return { texto: quien + "guardada", bien: true };
  }
  if (yaEstaba) {
    if (jaulaActual && jaulaActual.jaula === envio.jaula) await buscar(String(envio.jaula));
    return { texto: quien + "ya estaba guardada", bien: true };
  }
  if (estado === 400 || estado === 404 || estado === 409) return { texto: quien + motivo, bien: false };
  return { texto: quien + "No guardada: " + motivo, bien: false };
}

async function mandar(envios) {
  enviando = true;
  $("enviar").disabled = true;
  $("reintentar").disabled = true;
  const hechos = [];
  try {
    for (const envio of envios) hechos.push(await mandarUna(envio));
  } finally {
    enviando = false;
    $("enviar").disabled = false;
    $("reintentar").disabled = false;
  }
  pintarSinEnviar();
  resultado(hechos.map((h) => h.texto), hechos.every((h) => h.bien));
  if (hechos.some((h) => h.bien)) cargarPendientes();
}

async function enviar(evento) {
  evento.preventDefault();
  if (enviando || !jaulaActual) return;
  const juez = juezElegido();
  if (juez === null) return resultado([exposicion.mensajes.juez], false);
  const quien = "Jaula " + jaulaActual.jaula + ", juez " + juez + ": ";
  const puntos = [];
  for (let i = 0; i < exposicion.apartados.length; i++) {
    const apartado = exposicion.apartados[i];
    const valor = leerNumero($("p" + (i + 1)).value);
    if (valor === null || valor < apartado.min || valor > apartado.max) {
      $("p" + (i + 1)).focus();
      return resultado([quien + exposicion.mensajes.puntuacion], false);
    }
    puntos.push(valor);
  }
  const envio = { jaula: jaulaActual.jaula, juez, puntos, expo: exposicion.nombre, cuando: Date.now() };
  guardar(SIN_ENVIAR, [...sinEnviar().filter((e) => e.jaula !== envio.jaula || e.juez !== envio.juez), envio]);
  await mandar([envio]);
}

async function empezar() {
  // The key of the network window's QR code enters once and leaves the address at once: it stays
  // in no history, bookmark or address passed on.
  const deLaDireccion = new URLSearchParams(location.hash.slice(1)).get("clave");
  if (location.hash) history.replaceState(null, "", location.pathname + location.search);
  let respuesta;
  try {
    respuesta = await pedir("/api/exposicion");
  } catch (e) {
    return aviso(SIN_CONEXION);
  }
  if (respuesta.estado !== 200) return aviso("No se puede leer la exposición.");
  exposicion = respuesta.cuerpo;
  $("nombre").textContent = exposicion.nombre;
  construir();
  $("entrar").addEventListener("submit", async (e) => {
    e.preventDefault();
    if (!(await entrarCon($("clave").value.trim()))) return;
    $("clave").value = "";
    abrirTrabajo();
  });
  $("buscar").addEventListener("submit", (e) => { e.preventDefault(); buscar($("jaula").value.trim()); });
  $("puntuacion").addEventListener("submit", enviar);
  $("siguiente").addEventListener("click", siguiente);
  $("reintentar").addEventListener("click", () => { if (!enviando) mandar(sinEnviar()); });

  if (deLaDireccion !== null) {
    if (!(await entrarCon(deLaDireccion))) return;
  } else {
    // Whether the session is open is only known by asking: for no cage at all.
    try {
      respuesta = await pedir("/api/jaulas/0");
    } catch (e) {
      return aviso(SIN_CONEXION);
    }
    if (respuesta.estado === 401) return pedirClave("");
  }
  abrirTrabajo();
}

empezar();
