#include "viewer/messages.h"

namespace tesmar {

MessageTable MessageTable::standard() {
    MessageTable t;
    auto set = [&](int row, const char* en, const char* es) { t.rows_[static_cast<std::size_t>(row)] = {en, es}; };
    set(0, "Open a NATIVE file (CTRL + O)", "Abra un fichero NATIVO (CTRL + O)");
    set(1, "Which is your COAST LINE bitmap for Meteosat?", "Cuál es su fichero con líneas de costa Meteosat?");
    set(2, "No zoom for images at low resolution. Please use the slider",
        "No amplía imágenes en baja resolución. Mejor use el control de resolución");
    set(3, "Select all the GRAPHIC files you wish in the loop", "Seleccione los ficheros gráficos para la animación");
    set(4, "Choose a met-7 file to open", "Seleccione un fichero de Met-7 para abrir");
    set(5, "No sunglint possible at this time", "No es posible el reflejo solar");
    set(6, "Choose a global coastline file", "Seleccione un fichero global de líneas de costa");
    set(7, "Select the NATIVE files for creating the GRAPHIC formats",
        "Seleccione los ficheros NATIVOS para la creación de ficheros gráficos");
    set(8, "Open an image (NATIVE) file", "Abra un fichero imagen (NATIVO)");
    set(9, "Choose the GRIB file", "Elija un fichero GRIB");
    set(10, "Choose the BUFR file", "Elija un fichero BUFR");
    set(11, "Click on the other end of the TRANSECT", "Pique en el otro extremo del TRANSECTO");
    set(12, "Choose an AVHRR file", "Elija un fichero AVHRR");
    set(13, "Click on the image for the 3.9-albedo distribution",
        "Pique en un área de la imagen para la distribución de albedo en 3.9");
    set(14, "Droplet distribution not possible on HRV or zoomed images",
        "Distribución de gotas sólo en canales normales sin ampliar");
    set(15, "The GRAPHICAL products are now in /creas", "Los ficheros gráficos están ahora en /creas");
    set(16, "Choose an AMV file", "Elija un fichero AMV");
    set(17, "Now choose an action from the menu", "Ahora escoja una acción del menú");
    set(18, "Click at two points to get a transect in all 11 channels",
        "Pique en dos puntos para analizar una línea en todos los 11 canales");
    set(19, "Comparison not possible on zoomed or hrv channel",
        "Comparación no prevista en imágenes ampliadas o de alta resolución");
    set(20, "Choose a GII file", "Elija un fichero GII");
    set(21, "Choose the HDF5 file", "Elija el fichero HDF5");
    set(22, "Select AVHRR files of a pass", "Elija ficheros AVHRR de un paso satelital");
    set(23, "Slicing not enabled for height-focus or hrv imagery",
        "Veteado en color no habilitado para realces y alta resolución");
    set(24, "Click close to the area with IASI profiles", "Pique cerca del área con perfiles IASI");
    set(25, "Profiles not enabled on zoomed images", "No hay perfiles sobre imágenes ampliadas");
    set(26, "Choose an IASI TWT sounding file", "Elija un fichero IASI con sondeos TWT");
    set(27, "If you have Goes products in your list, open one and choose the coastline file for Goes",
        "Si tiene productos de Goes en la lista, muestre una imagen y escoja línea de costa");
    set(28, "Which is your COAST LINE bitmap for Goes?", "Cuál es el fichero con líneas de costa Goes?");
    set(29, "Click at an image point to find dust concentration and temperature",
        "Pique en un punto para saber la concentración de polvo y su temperatura");
    set(30, "No dust calculation possible on the hrv channel. Use normal resolution",
        "No se puede calcular en imágenes de alta resolución. Pruebe en otras imágenes");
    set(31, "Choose your area at standard resolution", "Escoja su área en la resolución básica");
    set(32, "Click at a point for local enhancement", "Pique en un punto para ver con más claridad");
    set(33, "", "");
    set(34, "Which is your COAST LINE bitmap for MTSAT?", "Cuál es el fichero con líneas de costa MTSAT?");
    set(38, "Open a text file with the locations to be plotted",
        "Abra el fichero con las localidades que desea trazar en gráfico");
    set(49, "", "");
    return t;
}

const std::string& MessageTable::get(int row, Lang lang) const {
    static const std::string empty;
    if (row < 0 || row >= kRows) return empty;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(lang)];
}

const std::vector<MenuEntry>& mainMenu() {
    static const std::vector<MenuEntry> menu = {
        {"", "File", "Archivo", "", false, true},
        {"File", "Open image", "Abre fichero", "Ctrl+O", false, true},
        {"File", "Create bitmaps", "Crea bitmaps", "Ctrl+B", true, true},
        {"File", "Save as JPEG", "Guarda en jpeg", "Ctrl+J", true, true},
        {"File", "Save as bitmap", "Guarda en bitmap", "Ctrl+S", true, true},
        {"File", "Save as PNG", "Guarda en png", "", true, true},
        {"File", "Setup product", "Elige productos", "Ctrl+Alt+P", false, true},
        {"File", "Change coastline", "Cambia fichero de costas", "Ctrl+Alt+L", false, true},
        {"File", "Tidy up", "Recoge", "Ctrl+T", false, true},
        {"File", "Control contrast", "Control de contraste", "Ctrl+F5", false, true},
        {"File", "Control composition", "Control de composición", "Ctrl+F6", false, true},
        {"", "Display", "Visualiza", "", false, true},
        {"Display", "Show image", "Muestra imagen", "Ctrl+D", false, true},
        {"Display", "Contrast", "Realza", "Ctrl+E", true, true},
        {"Display", "Enhancement", "Alto contraste", "Ctrl+Alt+C", true, true},
        {"Display", "Re-colour", "Recolorea", "Ctrl+Alt+R", true, true},
        {"Display", "Colour", "Color", "Ctrl+A", true, true},
        {"Display", "GE animation", "Animación para GE", "Ctrl+Alt+Y", true, true},
        {"Display", "Animation", "Animación", "Ctrl+Alt+B", true, true},
        {"Display", "Sun glint", "Reflejo solar", ""},
        {"Display", "Series", "Serie temporal", ""},
        {"Display", "Take-off", "Despega", ""},
        {"", "Remap", "Proyección", "", false, true},
        {"Remap", "Mercator", "Mercator", "Ctrl+M", true, true},
        {"Remap", "Polar stereographic", "Polar estereográfica", "Ctrl+P", true, true},
        {"Remap", "(Zoom in)", "(Ampliación)", "Ctrl+W", true, true},
        {"Remap", "Zoom out", "Desamplía", "Ctrl+U", true, true},
        {"Remap", "Re-centre", "Recentra", "Ctrl+K", true, true},
        {"", "Merge", "Mezclas", "", false, true},
        {"Merge", "Composite", "Composición", "Ctrl+C", false, true},
        {"Merge", "Complex composite", "Composición compleja", "Ctrl+X", false, true},
        {"Merge", "Temperature difference", "Diferencia", "Ctrl+L", false, true},
        {"Merge", "HRV coloured", "Alta resolución coloreada", "Ctrl+H", false, true},
        {"Merge", "Principal components", "Componentes principales", ""},
        {"Merge", "Standard RGB ..", "RGB típicos", "", false, true},
        {"Merge/Standard RGB ..", "Dust", "Polvo", "", false, true},
        {"Merge/Standard RGB ..", "Night", "Nocturno", "", false, true},
        {"Merge/Standard RGB ..", "Convection", "Convección", "", false, true},
        {"Merge/Standard RGB ..", "Airmass", "Flujo", "", false, true},
        {"Merge/Standard RGB ..", "Natural", "", "", false, true},
        // Temporal statistics of a series of Native files ("Max - Actual" compares with the
        // picture on screen).
        {"Merge", "Temporal", "", "", false, true},
        {"Merge/Temporal", "Average image", "", "", false, true},
        {"Merge/Temporal", "Deviation image", "", "", false, true},
        {"Merge/Temporal", "Max - Min", "", "", false, true},
        {"Merge/Temporal", "Max image", "", "", false, true},
        {"Merge/Temporal", "Min image", "", "", false, true},
        {"Merge/Temporal", "Max - Actual", "", "", true, true},
        {"Merge", "Evolution RGB", "", "", false, true},
        {"Merge", "MSG Ozone", "Ozono MSG", ""},
        {"Merge", "HRIT to Native", "HRIT en Native", "Ctrl+Alt+N", false, true},
        {"", "Plots", "Trazado", "", false, true},
        {"Plots", "(Temperature scatter)", "(Dispersión de temperaturas)", "", true},
        {"Plots", "Model GRIB1", "Lee GRIB", "Ctrl+G", true},
        {"Plots", "OSI SST or model data", "SAF SST o modelos", "Ctrl+Alt+S"},
        {"", "Polar", "", "", false, true},
        {"Polar", "Open", "Abre", ""},
        {"Polar", "Display", "Visualiza", ""},
        {"Polar", "Sounding TOVS", "Sondeos TOVS", ""},
        {"Polar", "Anaglyph", "Anáglifo", "Ctrl+Alt+A"},
        {"Polar", "Atmospheric motion", "Vientos", ""},
        {"Polar", "Instability", "Inestabilidad", ""},
        {"Polar", "Profiling IASI", "Perfiles de IASI", ""},
        {"Polar", "Fires", "Incendios", "Ctrl+F"},
        {"", "Lrit", "", "", false, true},
        {"Lrit", "Decompress", "Descomprime", ""},
        {"Lrit", "Open", "Abre", ""},
        {"Lrit", "Display", "Muestra", "Ctrl+Alt+D"},
        {"Lrit", "GOES Composite", "Composición", "Ctrl+Alt+X"},
        {"Lrit", "Heating in K", "", "", true, true},  // a temporal statistic of the picture on screen
        {"", "About", "Info", "", false, true},
        {"About", "Start processing", "Procesa lo recibido", "", false, true},
        {"About", "Spanish menu", "Menú en español", "", false, true},
    };
    return menu;
}

}  // namespace tesmar

