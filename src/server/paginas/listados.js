"use strict";
// The listings of the results board and of the hall's screen, built the same way for both: fixed
// columns sized to what they hold, so that no column is ever cut or pushed out of its box; only a
// long owner's or province's name ends in "…", never a score.

function coma(valor) {
  return valor === null || valor === undefined
    ? "" : valor.toLocaleString("es-ES", { minimumFractionDigits: 2, maximumFractionDigits: 2 });
}

// [heading, the cell of a row, the column's class (its width and alignment, in estilo.css)]
const PUESTO = ["Pto.", (f) => f.puesto, "c-puesto"];
const CABEZA = [PUESTO, ["Jaula", (f) => f.jaula, "c-jaula"], ["Anilla", (f) => f.anilla, "c-anilla"],
  ["Propietario", (f) => f.propietario, "c-nombre"]];
const COLUMNAS = {
  clasificacion: [...CABEZA, ["Puntos", (f) => coma(f.puntos), "c-puntos"]],
  grupoD: [...CABEZA, ["Conc.", (f) => f.conc, "c-conc"], ["Coef.", (f) => coma(f.coef), "c-coef"]],
  provincias: [PUESTO, ["Provincia", (f) => f.provincia, "c-nombre"], ["Puntos", (f) => f.puntos, "c-puntos"]],
};

// Every listing of an answer of /api/tablero, in the order of the printed listings.
function listadosDe(tablero) {
  return [
    ...tablero.clasificaciones.map((c) => ({ clave: c.clave, titulo: c.titulo, columnas: COLUMNAS.clasificacion, filas: c.filas })),
    ...tablero.grupoD.map((d) => ({ clave: "D" + d.clave, titulo: d.titulo, columnas: COLUMNAS.grupoD, filas: d.filas })),
    { clave: "provincias", titulo: tablero.provincias.titulo, columnas: COLUMNAS.provincias, filas: tablero.provincias.filas },
  ];
}

function tablaDe(listado) {
  const tabla = document.createElement("table");
  tabla.className = "listado";
  const cabeza = tabla.createTHead().insertRow();
  for (const [nombre, , clase] of listado.columnas) {
    const th = document.createElement("th");
    th.textContent = nombre;
    th.className = clase;
    if (clase === "c-puesto") th.title = "Puesto";
    cabeza.appendChild(th);
  }
  const cuerpo = tabla.createTBody();
  for (const fila of listado.filas) {
    const tr = cuerpo.insertRow();
    if (fila.jaula !== undefined) tr.dataset.jaula = fila.jaula;
    for (const [, valor, clase] of listado.columnas) {
      const td = tr.insertCell();
      td.textContent = valor(fila);
      td.className = clase;
    }
  }
  return tabla;
}

// Reads the board every periodMs and hands each answer's listings to show; says when it was
// updated, or why it could not be read, in the page's "actualizado" and "aviso".
async function seguirTablero(show, periodMs) {
  const $ = (id) => document.getElementById(id);
  try {
    const respuesta = await fetch("/api/tablero", { cache: "no-store" });
    const cuerpo = await respuesta.json();
    if (!respuesta.ok) throw new Error(cuerpo.error);
    $("nombre").textContent = cuerpo.nombre || "Resultados";
    // A closed show's seal, under its name, so that a printed result can be checked against it.
    if ($("sello")) {
      $("sello").textContent = cuerpo.sello || "";
      $("sello").hidden = !cuerpo.sello;
    }
    show(listadosDe(cuerpo));
    $("aviso").hidden = true;
    $("actualizado").textContent = "Actualizado a las " + new Date().toLocaleTimeString("es-ES");
  } catch (e) {
    $("aviso").textContent = "No se pueden leer los resultados: " + (e instanceof TypeError ? "sin conexión" : e.message);
    $("aviso").hidden = false;
  }
  setTimeout(() => seguirTablero(show, periodMs), periodMs);
}
