"use strict";
// The results board: every listing of the show, read again every few seconds.

const CADA_MS = 5000;
const $ = (id) => document.getElementById(id);

function coma(valor) {
  return valor === null ? "" : valor.toLocaleString("es-ES", { minimumFractionDigits: 2, maximumFractionDigits: 2 });
}

function tabla(titulo, clave, columnas, filas) {
  const seccion = document.createElement("section");
  seccion.dataset.listado = clave;
  const h2 = document.createElement("h2");
  h2.textContent = titulo;
  seccion.appendChild(h2);
  if (filas.length === 0) {
    const vacio = document.createElement("p");
    vacio.className = "vacio";
    vacio.textContent = "Sin palomas todavía";
    seccion.appendChild(vacio);
    return seccion;
  }
  const t = document.createElement("table");
  const cabeza = t.createTHead().insertRow();
  for (const [nombre, , texto] of columnas) {
    const th = document.createElement("th");
    th.textContent = nombre;
    if (texto) th.className = "texto";
    cabeza.appendChild(th);
  }
  const cuerpo = t.createTBody();
  for (const fila of filas) {
    const tr = cuerpo.insertRow();
    if (fila.jaula !== undefined) tr.dataset.jaula = fila.jaula;
    for (const [, valor, texto] of columnas) {
      const td = tr.insertCell();
      td.textContent = valor(fila);
      if (texto) td.className = "texto";
    }
  }
  // A listing wider than the phone scrolls in its own box; the page stays as wide as the screen.
  const caja = document.createElement("div");
  caja.className = "desplazable";
  caja.appendChild(t);
  seccion.appendChild(caja);
  return seccion;
}

function pintar(tablero) {
  $("nombre").textContent = tablero.nombre || "Resultados";
  const listados = document.createDocumentFragment();
  for (const c of tablero.clasificaciones)
    listados.appendChild(tabla(c.titulo, c.clave, [
      ["Puesto", (f) => f.puesto], ["Jaula", (f) => f.jaula], ["Anilla", (f) => f.anilla, true],
      ["Propietario", (f) => f.propietario, true], ["Puntos", (f) => coma(f.puntos)]], c.filas));
  for (const d of tablero.grupoD)
    listados.appendChild(tabla(d.titulo, "D" + d.clave, [
      ["Puesto", (f) => f.puesto], ["Jaula", (f) => f.jaula], ["Anilla", (f) => f.anilla, true],
      ["Propietario", (f) => f.propietario, true], ["Conc.", (f) => f.conc], ["Coef.", (f) => coma(f.coef)]],
      d.filas));
  listados.appendChild(tabla(tablero.provincias.titulo, "provincias", [
    ["Puesto", (f) => f.puesto], ["Provincia", (f) => f.provincia, true], ["Puntos", (f) => f.puntos]],
    tablero.provincias.filas));
  $("listados").replaceChildren(listados);
}

async function refrescar() {
  try {
    const respuesta = await fetch("/api/tablero", { cache: "no-store" });
    const cuerpo = await respuesta.json();
    if (!respuesta.ok) throw new Error(cuerpo.error);
    pintar(cuerpo);
    $("aviso").hidden = true;
    $("actualizado").textContent = "Actualizado a las " + new Date().toLocaleTimeString("es-ES");
  } catch (e) {
    $("aviso").textContent = "No se pueden leer los resultados: " + (e.message || e);
    $("aviso").hidden = false;
  }
  setTimeout(refrescar, CADA_MS);
}

refrescar();
