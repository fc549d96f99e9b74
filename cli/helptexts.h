#pragma once

#include <string_view>

// The help of quintaral-cli and of each of its commands.
namespace cli::help {

inline constexpr std::string_view general = R"(Uso: quintaral-cli ORDEN [OPCIONES]

Diseña el refuerzo a flexión de vigas rectangulares de concreto reforzado por la NSR-98 o la
NSR-10, en kg, cm y Tn-m, sin ventanas.

Órdenes:
  design    diseña una sección y muestra el informe de resultados
  batch     diseña cada sección de un archivo CSV y escribe una fila de resultados por sección
  check     revisa la resistencia a flexión de una sección con su acero dado
  open      muestra el informe de un proyecto guardado (.quintaral)
  beam      diseña y despieza una viga continua de uno o más vanos (archivo CSV de vanos)
  beams     diseña y despieza las vigas de un edificio y suma sus cantidades (vigas.csv)

  quintaral-cli ORDEN --help    muestra la ayuda de una orden (también -h)
  quintaral-cli --version       muestra la versión

Los números se escriben con punto decimal, sea cual sea el idioma del sistema, y admiten
exponente (30e0, 1.5E+01). Cada opción se da una sola vez.
design, batch, check y beam siguen la NSR-98 salvo que --code NSR-10 pida la otra norma.
Estado de salida: 0 todo diseñado (o «Cumple»), 2 alguna sección no se pudo diseñar
(o «No cumple»), 1 error en los argumentos, un valor que ninguna sección puede tener, o un
error al leer o escribir un archivo o la salida.
)";

inline constexpr std::string_view design =
    R"(Uso: quintaral-cli design --b ANCHO --h ALTURA --cover D1 --fc FC --fy FY --mu MU --cover2 D2
                            [--code NSR-98|NSR-10]

Diseña una sección y muestra el informe de resultados, línea por línea como la ventana principal.

  --b ANCHO       ancho b, cm
  --h ALTURA      altura total h, cm
  --cover D1      recubrimiento d': de la cara en tracción al centroide del acero en tracción, cm
  --fc FC         resistencia del concreto f'c, kg/cm2
  --fy FY         esfuerzo de fluencia del acero Fy, kg/cm2
  --mu MU         momento último Mu, Tn-m
  --cover2 D2     recubrimiento d'': de la cara en compresión al centroide del acero en
                  compresión, cm
  --code NORMA    NSR-98 (predeterminada) o NSR-10, en mayúsculas o minúsculas

Los números se escriben con punto decimal. Si la sección no se puede diseñar, escribe en la
salida de errores el mismo mensaje que la ventana y termina con estado 2; con un argumento
que falta o no es un número, o un valor que ninguna sección puede tener (el mensaje de la
ventana y una segunda línea que nombra el valor y la regla), termina con estado 1.

Ejemplo:
  quintaral-cli design --b 30 --h 50 --cover 5 --fc 210 --fy 4200 --mu 23 --cover2 5
)";

inline constexpr std::string_view batch =
    R"(Uso: quintaral-cli batch ARCHIVO [-o SALIDA] [--format csv|json] [--delimiter C] [--decimal-comma]
                           [--code NSR-98|NSR-10]

Diseña cada sección de un archivo CSV (RFC 4180) y escribe una fila de resultados por sección.
Con ARCHIVO «-» lee la entrada estándar.

La primera fila nombra las columnas id, b, h, cover, fc, fy, mu y cover2 (en cualquier orden;
las demás columnas no se leen). Las unidades son las de la orden design. Las filas vacías se
saltan.

  -o, --output SALIDA   archivo de resultados (sin él, la salida estándar); se escribe en un
                        temporal que al terminar reemplaza al anterior
  --format csv|json     csv (predeterminado) o json: un objeto JSON por línea (los bytes
                        que no son UTF-8 se escriben como U+FFFD)
  --delimiter C         separador de campos: «,» (predeterminado), «;» con --decimal-comma,
                        o «tab» para el tabulador
  --decimal-comma       números con coma decimal, en el archivo y en los resultados CSV
  --code NORMA          NSR-98 (predeterminada) o NSR-10

Los resultados traen las columnas id, kind (simple o doble), d, ku, rho, rhomax, rhomin, mmax,
as, as2 y error; cada número con el texto más corto que se vuelve a leer como el mismo valor.
Con la NSR-10, rhomax es la cuantía de tensión controlada y mmax el momento φMn con ella.
Una fila que no se puede leer o diseñar se informa con su número de línea en la salida de
errores, lleva en «error» el mensaje de la ventana, y el lote sigue.

Estado de salida: 0 todas las secciones diseñadas, 2 alguna fila falló, 1 error en los
argumentos, en el encabezado, una fila sin fin (más larga que el límite y sin salto de línea)
o al leer o escribir un archivo.
)";

inline constexpr std::string_view check =
    R"(Uso: quintaral-cli check --b ANCHO --h ALTURA --fc FC --fy FY --mu MU --tension ÁREA@PROFUNDIDAD
                           [--tension ...] [--compression ÁREA@PROFUNDIDAD ...] [--code NSR-98|NSR-10]

Revisa la resistencia a flexión de una sección con su acero dado, por compatibilidad de
deformaciones, con el mismo cálculo y los mismos textos de la ventana de disposición del
refuerzo: c, a, εt, f's, si cada acero fluye, φ, φMn, Mu/φMn y «Cumple» o «No cumple».

  --b ANCHO              ancho b, cm
  --h ALTURA             altura total h, cm
  --fc FC                resistencia del concreto f'c, kg/cm2
  --fy FY                esfuerzo de fluencia del acero Fy, kg/cm2
  --mu MU                momento último Mu, Tn-m
  --tension ÁREA@PROF    una capa de acero en tracción; se repite para cada capa
  --compression ÁREA@PROF
                         una capa de acero en compresión; se repite para cada capa
  --code NORMA           NSR-98 (predeterminada) o NSR-10

ÁREA es el área de la capa en cm2 (25.81) o sus barras del catálogo (4N10, 2N8+1N6);
PROFUNDIDAD es la distancia en cm de la cara en compresión al centroide de la capa, dentro
de la altura h; las capas en compresión, por encima del centroide del acero en tracción.
El concreto que desplazan las barras se descuenta a medida que el bloque de
compresión las alcanza; con un área sin barras, todo de una vez cuando el bloque pasa su
profundidad.

Estado de salida: 0 «Cumple», 2 «No cumple», 1 error en los argumentos.

Ejemplo:
  quintaral-cli check --b 38.1 --h 66 --fc 281.2 --fy 4218.4 --mu 50 --tension 25.81@60.96
)";

inline constexpr std::string_view open = R"(Uso: quintaral-cli open ARCHIVO.quintaral

Muestra el informe de resultados de un proyecto guardado, diseñado de nuevo con sus datos y
por la norma que el proyecto guarda. Si el proyecto guarda unas barras elegidas, muestra
después, como la ventana de disposición del refuerzo, cómo caben en la sección y su revisión
de resistencia. Si guarda una viga continua («Viga y despiece»), muestra al final su despiece
y sus revisiones, como «quintaral-cli beam ARCHIVO.quintaral».

Estado de salida: 0 diseñado (y con barras, «Cumple»; con viga, todas sus revisiones
cumplen), 2 la sección o la viga no se pudo diseñar (el mensaje en la salida de errores), sus
barras «No cumple» o alguna revisión de la viga no cumple, 1 error en los
argumentos, un archivo que no se puede abrir como proyecto, un dato que la ventana no puede
mostrar (ni cero ni entre 0.000001 y 1000000, con su signo) o que ninguna sección puede tener.
)";

inline constexpr std::string_view beam =
    R"(Uso: quintaral-cli beam --spans VANOS.csv [--stations ESTACIONES.csv [--centreline]]
                          --b ANCHO --h ALTURA --cover D1 --cover2 D2 --fc FC --fy FY
                          [--code NSR-98|NSR-10] [--class DES|DMO|DMI] [--bars 4-8] [--stock 12]
                          [--name V-1] [--axis EJE] [--level PISO] [--stirrup 3|4]
                          [--delimiter C] [--decimal-comma] [--format text|json] [--dxf DIBUJO]
       quintaral-cli beam PROYECTO.quintaral [--decimal-comma] [--format text|json] [--dxf DIBUJO]

Diseña el refuerzo longitudinal de una viga continua de sección constante: las envolventes de
momento, las barras que cumplen la resistencia y las reglas sísmicas de su clase, los cortes,
los ganchos y los empalmes; escribe el despiece con longitudes y masas y cada revisión con
«Cumple» o «No cumple». Las posiciones x se miden desde el borde exterior del primer apoyo.

  --spans VANOS       archivo CSV de vanos, de izquierda a derecha (o «-», la entrada estándar)
  --stations ESTAC.   archivo CSV de estaciones: los momentos de un programa de análisis
  --centreline        x de las estaciones desde el eje del apoyo izquierdo, no desde su cara;
                      las estaciones dentro del apoyo se llevan a la cara
  --b ANCHO           ancho b, cm
  --h ALTURA          altura total h, cm
  --cover D1          d': de la cara inferior al centroide del acero inferior, cm
  --cover2 D2         d'': de la cara superior al centroide del acero superior, cm
  --fc FC             resistencia del concreto f'c, kg/cm2
  --fy FY             esfuerzo de fluencia del acero Fy, kg/cm2
  --code NORMA        NSR-98 (predeterminada) o NSR-10
  --class CLASE       capacidad de disipación de energía: DES (predeterminada), DMO o DMI
  --bars N-M          barras permitidas, de la N° N a la N° M (predeterminadas 4-8)
  --stock L           longitud comercial de las barras, m (predeterminada 12)
  --name NOMBRE       nombre de la viga en el despiece (predeterminado V-1)
  --axis EJE          eje de la viga en el rótulo de los dibujos («Eje B»; predeterminado: ninguno)
  --level PISO        piso o nivel de la viga en el rótulo («Piso 2»; predeterminado: ninguno)
  --stirrup 3|4       barra de los estribos: N° 3 (predeterminada) o N° 4; su Fy para el
                      cortante es a lo sumo 4200 kg/cm2
  --delimiter C       separador de campos: «,» (predeterminado), «;» con --decimal-comma,
                      o «tab» para el tabulador
  --decimal-comma     números con coma decimal en los archivos y en el despiece
  --format text|json  text (predeterminado): el despiece en texto; json: un objeto JSON
  --dxf DIBUJO        escribe además el despiece como dibujo DXF (cm, 1 unidad = 1 cm): el
                      alzado, las secciones y la tabla de barras; si no se puede escribir, no
                      queda ningún archivo a medias

PROYECTO.quintaral, un proyecto guardado con una viga («Viga y despiece»), trae la viga entera
(sección, materiales, norma, clase, vanos, momentos o estaciones, cargas, estribo, barras,
longitud comercial, eje y piso) en lugar de las opciones que la describen; esas opciones junto a
un proyecto se rechazan.

VANOS.csv nombra en su primera fila las columnas span, length, support_left, support_right,
mu_left, mu_mid, mu_right y, si se quiere, mu_mid_min (en cualquier orden; las demás no se
leen). span es el número del vano, desde 1 y en orden; length la luz libre ln entre las caras
de los apoyos, m; support_left y support_right el ancho de cada apoyo a lo largo de la viga,
cm: el apoyo derecho de un vano y el izquierdo del siguiente son el mismo y deben coincidir.
mu_left, mu_mid y mu_right son Mu- en la cara izquierda, Mu+ en el centro de la luz y Mu- en
la cara derecha, Tn-m, como magnitudes; mu_mid_min es el Mu+ menor en el centro de la luz
(vacío: la mitad de mu_mid; negativo: el vano queda en Mu- en toda su luz). mu_pos_left y
mu_pos_right, si se quieren, son Mu+ en las caras (pórticos con desplazamiento lateral), que
baja en línea recta hasta el centro de la luz. column_left y column_right, si se quieren, son
el ancho de la columna de cada apoyo a lo ancho de la viga, cm (vacío: tan ancha como el
apoyo); el recubrimiento lateral que da a los ganchos decide si ldh lleva el factor 0.7. wu, si
se quiere, es la carga de gravedad mayorada del vano, uniforme en la luz libre, Tn/m (1.2 D +
1.0 L con la NSR-10, 1.4 D + 1.7 L con la NSR-98; de 0 a 1000); sin ella, los estribos toman solo
el cortante sísmico y una nota lo dice. Con --stations, las columnas de momentos pueden quedar
vacías.

ESTACIONES.csv nombra las columnas span, x, mu y, si se quiere, v: el vano, x en m desde la cara
izquierda del vano (de 0 a ln), Mu con signo, Tn-m (negativo: tracción arriba) y el cortante
del análisis con signo, Tn; varias filas por x (las combinaciones de carga) dan la envolvente.
Cada vano necesita al menos una estación.

Los números llevan punto decimal (coma con --decimal-comma) y pueden ir en notación científica
(1.5e3). Un archivo con un error se rechaza con su nombre y el número de línea.

Estado de salida: 0 todas las revisiones cumplen, 2 alguna no cumple o la viga no se puede
diseñar, como una sección que no resiste su cortante (el mensaje en la salida de errores), 1
error en los argumentos o en un archivo, o un dibujo DXF que no se pudo escribir.

Ejemplos:
  quintaral-cli beam --spans vanos.csv --b 30 --h 50 --cover 6 --cover2 6 --fc 210 --fy 4200
  quintaral-cli beam porticos.quintaral --dxf despiece.dxf
)";

}  // namespace cli::help
