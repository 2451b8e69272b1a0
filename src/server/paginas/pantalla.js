"use strict";
// The hall's screen: one listing at a time in large type, each in turn, scrolled by itself when
// it is taller than the screen. The results are read again every few seconds, so a score stored
// on a phone shows within seconds; the listing on view is redrawn where it stands. With
// `?listados=AM,AH` a screen shows only those listings (several screens can share them out).

const LEER_MS = 3000;
const QUIETO_MS = 6000; // at the top and at the bottom of a listing, time to read it
const PIXELES_POR_SEGUNDO = 40;
const $ = (id) => document.getElementById(id);

const pedidos = (new URLSearchParams(location.search).get("listados") || "")
  .split(",").map((c) => c.trim().toUpperCase()).filter((c) => c !== "");
let listados = null; // the last answer's, as listadosDe() gives them
let enVista = null; // the key of the listing on view

// The listings asked for (all of them when none of the names asked for is known), those with birds.
function aLaVista() {
  const pedidas = listados.filter((l) => pedidos.includes(l.clave.toUpperCase()));
  return (pedidas.length > 0 ? pedidas : listados).filter((l) => l.filas.length > 0);
}

function pintar(listado) {
  const caja = $("listado");
  const arriba = caja.scrollTop;
  $("titulo").textContent = listado ? listado.titulo : "";
  if (listado) {
    caja.replaceChildren(tablaDe(listado));
  } else {
    const vacio = document.createElement("p");
    vacio.className = "vacio";
    vacio.textContent = "Todavía no hay palomas terminadas";
    caja.replaceChildren(vacio);
  }
  caja.scrollTop = arriba;
}

const esperar = (ms) => new Promise((listo) => setTimeout(listo, ms));

// Down to the end of the listing at an even pace; true when there was anything to scroll.
function bajar() {
  return new Promise((listo) => {
    const caja = $("listado");
    let posicion = 0;
    let antes = null;
    const paso = (ahora) => {
      const fin = caja.scrollHeight - caja.clientHeight;
      if (antes !== null) posicion = Math.min(fin, posicion + ((ahora - antes) * PIXELES_POR_SEGUNDO) / 1000);
      antes = ahora;
      caja.scrollTop = posicion;
      if (posicion >= fin) listo(fin > 0);
      else requestAnimationFrame(paso);
    };
    requestAnimationFrame(paso);
  });
}

async function turnos() {
  for (;;) {
    const vista = aLaVista();
    const siguiente = vista[(vista.findIndex((l) => l.clave === enVista) + 1) % Math.max(vista.length, 1)];
    enVista = siguiente ? siguiente.clave : null;
    $("listado").scrollTop = 0;
    pintar(siguiente);
    await esperar(siguiente ? QUIETO_MS : LEER_MS);
    if (siguiente && (await bajar())) await esperar(QUIETO_MS);
  }
}

seguirTablero((nuevos) => {
  const primera = listados === null;
  listados = nuevos;
  if (primera) turnos();
  else if (listados.some((l) => l.clave === enVista)) pintar(listados.find((l) => l.clave === enVista));
}, LEER_MS);
