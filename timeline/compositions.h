// The seven compositions of effects the timeline draws, numbered as the
// scene table and the beat cycle use them. Called only from DrawFrame.
#pragma once

// Fogged wave tunnel alone.
void Composition1();
// Fogged wave tunnel with the scrolling road.
void Composition2();
// Fogged wave tunnel, scrolling road and the gear cluster.
void Composition3();
// Bulging wave tunnel under the beat pictures.
void Composition4();
// Fogged wave tunnel and the cube rings.
void Composition5();
// Fogged wave tunnel, cube rings and the model scene.
void Composition6();
// Fogged wave tunnel, cube rings and the model scene, nearer; longer flash.
void Composition7();
