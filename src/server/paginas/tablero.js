"use strict";
// The results board: every listing of the show side by side, read again every few seconds.

const CADA_MS = 3000;
const $ = (id) => document.getElementById(id);

function seccion(listado) {
  const caja = document.createElement("section");
  caja.dataset.listado = listado.clave;
  const h2 = document.createElement("h2");
  h2.textContent = listado.titulo;
  caja.appendChild(h2);
  if (listado.filas.length === 0) {
    const vacio = document.createElement("p");
    vacio.className = "vacio";
    vacio.textContent = "Sin resultados todavía";
    caja.appendChild(vacio);
  } else {
    caja.appendChild(tablaDe(listado));
  }
  return caja;
}

seguirTablero((listados) => $("listados").replaceChildren(...listados.map(seccion)), CADA_MS);
