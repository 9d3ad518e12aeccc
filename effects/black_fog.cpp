// Black exponential fog shared by the fogged tunnel and the road.
#include "effects/black_fog.h"

#include <GL/gl.h>

// Set up black exponential fog
void SetBlackFog(float density, float end) {
    static const GLfloat black[4] = {0, 0, 0, 0};
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_DENSITY, density);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, 0);
    glFogf(GL_FOG_END, end);
}
