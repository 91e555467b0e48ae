# The game's assets and where an installed game keeps them, each said once. The build copies
# the sounds beside the game, the window compiles the pictures in, the page serves both, and
# the install and its checks take the same lists; a test checks that they hold every sound the
# game plays and every picture a control shows.

# assets/TovikSound/
set(TOVIK_SOUNDS
    dindin.wav ydar.wav ydar2.wav shock.wav techno.wav stone.wav health.wav voda.wav shelest.wav)
# assets/pictures/
set(TOVIK_PICTURES
    title.bmp title_en.bmp hero.bmp quit.bmp item_scroll.bmp item_furball.bmp item_trident.bmp
    item_necklace.bmp icon.bmp)

# The game's AppStream id, under its code host: the names of the menu entry, the icons and the
# metainfo, and the window's desktop file name, so that a desktop ties the window to its entry.
set(TOVIK_APP_ID io.github.tovikgame.tovik)

# The installed programs and the folder holding TovikSound, under the prefix.
set(TOVIK_INSTALL_GAMESDIR games CACHE STRING "Folder of the installed programs, under the prefix")
set(TOVIK_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/games/tovik)
# The game finds its installed sounds relative to its own executable, so any prefix works, a
# staged package included; the full path is the fallback for an executable moved elsewhere.
file(RELATIVE_PATH TOVIK_DATA_FROM_BINDIR
     ${CMAKE_INSTALL_PREFIX}/${TOVIK_INSTALL_GAMESDIR} ${CMAKE_INSTALL_FULL_DATADIR}/games/tovik)
set(TOVIK_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/games/tovik)
