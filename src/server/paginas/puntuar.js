"use strict";
// The scoring page: the key once, then a cage, its bird (never its owner), and a judge's five
// scores checked as the judging window checks them, with its words, before they are sent; the
// server checks them again.

const $ = (id) => document.getElementById(id);
let exposicion = null;
let jaulaActual = null;

function mostrar(id, visible) { $(id).hidden = !visible; }

function aviso(texto) {
  $("aviso").textContent = texto;
  mostrar("aviso", texto !== "");
  if (texto !== "") mostrar("hecho", false);
}

function hecho(texto) {
  $("hecho").textContent = texto;
  mostrar("hecho", texto !== "");
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

async function pedir(url, opciones = {}) {
  const respuesta = await fetch(url, { credentials: "same-origin", ...opciones });
  let cuerpo = null;
  try { cuerpo = await respuesta.json(); } catch (e) { cuerpo = null; }
  return { estado: respuesta.status, cuerpo };
}

function pedirClave(texto) {
  mostrar("entrar", true);
  mostrar("buscar", false);
  mostrar("paloma", false);
  aviso(texto || "");
  $("clave").focus();
}

function construirApartados() {
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
}

function sumar() {
  let total = 0;
  for (let i = 1; i <= exposicion.apartados.length; i++) total += leerNumero($("p" + i).value) || 0;
  $("total").textContent = coma(Math.round(total * 100) / 100);
}

function mostrarJaula(jaula) {
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

  const puntuados = new Set(jaula.jueces.map((f) => f.juez));
  const selector = $("juez");
  selector.textContent = "";
  for (let j = 1; j <= exposicion.jueces; j++) {
    if (puntuados.has(j)) continue;
    const opcion = document.createElement("option");
    opcion.value = j;
    opcion.textContent = "Juez " + j;
    selector.appendChild(opcion);
  }
  const abierta = jaula.grupo.toUpperCase() !== "D" && selector.options.length > 0;
  mostrar("puntuacion", abierta);
  if (jaula.grupo.toUpperCase() === "D") aviso(exposicion.mensajes.grupoD);
  if (abierta) {
    for (let i = 1; i <= exposicion.apartados.length; i++) $("p" + i).value = "";
    sumar();
  }
}

async function buscar(numero) {
  aviso("");
  const { estado, cuerpo } = await pedir("/api/jaulas/" + encodeURIComponent(numero));
  if (estado === 401) return pedirClave(cuerpo && cuerpo.error);
  mostrar("entrar", false);
  mostrar("buscar", true);
  if (estado !== 200) {
    mostrar("paloma", false);
    return aviso(cuerpo ? cuerpo.error : "No se ha podido leer la jaula.");
  }
  $("jaula").value = cuerpo.jaula;
  mostrarJaula(cuerpo);
}

async function entrar(evento) {
  evento.preventDefault();
  const { estado, cuerpo } = await pedir("/entrar", {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify({ clave: $("clave").value.trim() }),
  });
  if (estado !== 200) return aviso(cuerpo ? cuerpo.error : "No se ha podido entrar.");
  $("clave").value = "";
  aviso("");
  mostrar("entrar", false);
  mostrar("buscar", true);
  const pedida = new URLSearchParams(location.search).get("jaula");
  if (pedida) buscar(pedida);
  else $("jaula").focus();
}

async function enviar(evento) {
  evento.preventDefault();
  const juez = Number($("juez").value);
  if (!Number.isInteger(juez) || juez < 1 || juez > exposicion.jueces) return aviso(exposicion.mensajes.juez);
  const puntos = [];
  for (let i = 0; i < exposicion.apartados.length; i++) {
    const apartado = exposicion.apartados[i];
    const valor = leerNumero($("p" + (i + 1)).value);
    if (valor === null || valor < apartado.min || valor > apartado.max) {
      $("p" + (i + 1)).focus();
      return aviso(exposicion.mensajes.puntuacion);
    }
    puntos.push(valor);
  }
  const { estado, cuerpo } = await pedir("/api/jaulas/" + jaulaActual.jaula + "/puntuaciones", {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify({ juez, puntos }),
  });
  if (estado === 401) return pedirClave(cuerpo && cuerpo.error);
  if (estado !== 201) return aviso(cuerpo ? cuerpo.error : "No se ha podido guardar la puntuación.");
  aviso("");
  mostrarJaula(cuerpo);
  hecho("Guardada la puntuación del juez " + juez + " en la jaula " + cuerpo.jaula + ".");
}

async function empezar() {
  const { estado, cuerpo } = await pedir("/api/exposicion");
  if (estado !== 200) return aviso("No se puede leer la exposición.");
  exposicion = cuerpo;
  $("nombre").textContent = cuerpo.nombre;
  construirApartados();
  $("entrar").addEventListener("submit", entrar);
  $("buscar").addEventListener("submit", (e) => { e.preventDefault(); buscar($("jaula").value.trim()); });
  $("puntuacion").addEventListener("submit", enviar);
  const pedida = new URLSearchParams(location.search).get("jaula");
  if (pedida) return buscar(pedida);
  // Whether the session is open is only known by asking for a cage: ask for none.
  const prueba = await pedir("/api/jaulas/0");
  if (prueba.estado === 401) return pedirClave("");
  mostrar("buscar", true);
  $("jaula").focus();
}

empezar();
