/* The memory floor: the game's window (640 x 480 at 32 bits, through the same game library) and
 * its sound device (the same mixer, the same rate and buffer), and nothing else, until killed. */
#include <SDL.h>
#include <SDL_mixer.h>
#include <allegro.h>
#include <unistd.h>

int main(void) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024);
    if (allegro_init() != 0 || install_keyboard() != 0) return 1;
    set_color_depth(32);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0) return 1;
    set_window_title("Vexlorn floor");
    BITMAP* back = create_bitmap(SCREEN_W, SCREEN_H);
    clear_to_color(back, makecol(0, 0, 64));
    blit(back, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
    for (;;) pause();
}
END_OF_MAIN()
