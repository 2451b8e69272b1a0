"use strict";
// The hall's screen: one listing at a time, in turn.
