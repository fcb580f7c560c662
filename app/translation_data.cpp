#include "translation_data.h"

// The texts are ISO 8859-1 bytes; an escape is closed by ending its literal where a hex digit
// follows, so that the digit is not read as part of the escape.
const char TRANSLATION_DATA[] =
    // The languages present besides English; every entry holds one text for each of them.
    "en,de\0"
    // 1
    "Column \0"
    "Spalte \0"
    // 2
    "Save File\0"
    "Datei speichern\0"
    // 3
    "Start\0"
    "Start\0"
    // 4
    "Please load a file to begin. Then select 'Set Frame' from menu 'Measure Diagram' or press ALT-S.\0"
    "Bitte laden Sie ein Bild zum beginnen. Dann w\xE4hlen Sie 'Alle ermitteln' oder dr\xFC"
    "cken ALT-S.\0"
    // 5
    "Please click for setting the Origin.\0"
    "Bitte w\xE4hlen Sie durch Klicken den Ursprung.\0"
    // 6
    "Set Origin\0"
    "Ursprung w\xE4hlen\0"
    // 7
    "Please click for setting the Width of Dataarea.\0"
    "Bitte w\xE4hlen Sie durch Klicken die Breite des Datenbereichs.\0"
    // 8
    "Set Width of Dataarea\0"
    "Breite des Datenbereichs w\xE4hlen\0"
    // 9
    "Please click for setting the Height of Dataarea.\0"
    "Bitte w\xE4hlen Sie durch Klicken die H\xF6he des Datenbereichs.\0"
    // 10
    "Set Height of Dataarea\0"
    "H\xF6he des Datenbereichs w\xE4hlen\0"
    // 11
    "Please click for setting a Data Point.\0"
    "Biite setzen Sie durch Klicken einen Datenpunkt.\0"
    // 12
    "Set a Data Point\0"
    "Datenpunkt setzen\0"
    // 13
    "Please enter the Reference for the Height.\0"
    "Bitte geben Sie die Referenzh\xF6he an.\0"
    // 14
    "Set Reference for Height\0"
    "Referenzh\xF6he eingeben\0"
    // 15
    "Please enter the Reference for the Width.\0"
    "Bitte geben Sie die Referenzbreite an.\0"
    // 16
    "Set Reference for Width\0"
    "Referenzbreite eingeben\0"
    // 17
    "Here you see the recorded data.\0"
    "Hier sehen Sie die aufgezeichneten Daten.\0"
    // 18
    "Select the appropriate Column to add data points.\0"
    "Hier w\xE4hlen Sie die Spalte aus, zu der Daten hinzugef\xFCgt werden.\0"
    // 19
    "Enter the new name and click on the pen.\0"
    "Geben Sie den neuen Namen ein und klicken Sie erneut auf den Bleistift.\0"
    // 20
    "Change the name of the current column.\0"
    "Klicken Sie hier, um den Namen der aktuell ausgew\xE4hlte Spalte zu \xE4ndern.\0"
    // 21
    "Information\0"
    "Information\0"
    // 22
    "Please open an image to proceed, or click 'Cancel' to exit.\0"
    "Bitte \xF6"
    "ffnen Sie ein Bild, oder klicken Sie 'Abbrechen' zum Beenden.\0"
    // 23
    "Open Diagram File (PNG, JPG)\0"
    "\xD6"
    "ffne Diagramm (PNG, JPG)\0"
    // 24
    "Coords\0"
    "Koordinaten\0"
    // 25
    "Origin\0"
    "Ursprung\0"
    // 26
    "Width\0"
    "Breite\0"
    // 27
    "Height\0"
    "H\xF6he\0"
    // 28
    "Width Reference\0"
    "Referenzbreite\0"
    // 29
    "Height Reference\0"
    "Referenzh\xF6he\0"
    // 30
    "Please enter like 1234,56 or 1234.56!\0"
    "Bitte eingeben wie 1234,56 oder 1234.56!\0"
    // 31
    "File\0"
    "Datei\0"
    // 32
    "Load From CSV\0"
    "Aus CSV einlesen\0"
    // 33
    "Append From CSV\0"
    "Aus CSV hinzuf\xFCgen\0"
    // 34
    "Save To CSV\0"
    "In CSV speichern\0"
    // 35
    "Copy Data To Clipboard\0"
    "In die Zwischenablage kopieren\0"
    // 36
    "Data\0"
    "Daten\0"
    // 37
    "Catch Points\0"
    "Punkte einfangen\0"
    // 38
    "Measure Diagram\0"
    "Diagramm ausmessen\0"
    // 39
    "Set Width\0"
    "Breite w\xE4hlen\0"
    // 40
    "Set Height\0"
    "H\xF6he w\xE4hlen\0"
    // 41
    "Name Column\0"
    "Spalte benennen\0"
    // 42
    "Empty Table\0"
    "Tabelle leeren\0"
    // 43
    "Add Column\0"
    "Spalte hinzuf\xFCgen\0"
    // 44
    "Remove Last Column\0"
    "Letzte Spalte entfernen\0"
    // 45
    "Quit\0"
    "Beenden\0"
    // 46
    "Your data was not saved. Do you want to Exit?\0"
    "Ihre Daten wurden nicht gespeichert. Trotzdem beenden?\0"
    // The end entry.
    "-1\0"
    "-1";

const std::size_t TRANSLATION_DATA_SIZE = sizeof(TRANSLATION_DATA);

const char SUPPLEMENTARY_TRANSLATION_DATA[]
    = "en,de\0"
      "This file cannot be opened as a picture:\0"
      "Diese Datei l\xE4sst sich nicht als Bild \xF6"
      "ffnen:\0"
      "Your data was not saved. Do you want to continue?\0"
      "Ihre Daten wurden nicht gespeichert. Trotzdem fortfahren?\0"
      "The table could not be saved:\0"
      "Die Tabelle konnte nicht gespeichert werden:\0"
      "Saved:\0"
      "Gespeichert:\0"
      "The file could not be read:\0"
      "Die Datei konnte nicht gelesen werden:\0"
      "This file holds no table: it is not a text file.\0"
      "Diese Datei enth\xE4lt keine Tabelle: Sie ist keine Textdatei.\0"
      "This file holds no table: it has no title line.\0"
      "Diese Datei enth\xE4lt keine Tabelle: Ihr fehlt die Titelzeile.\0"
      "The table in this file has more than 64 columns.\0"
      "Die Tabelle in dieser Datei hat mehr als 64 Spalten.\0"
      "The table in this file has more than 1,000,000 cells.\0"
      "Die Tabelle in dieser Datei hat mehr als 1.000.000 Zellen.\0"
      "This file holds no table: a quote is never closed. It opens in line\0"
      "Diese Datei enth\xE4lt keine Tabelle: Ein Anf\xFChrungszeichen wird nie geschlossen. Es steht in "
      "Zeile\0"
      "A cell in this file is longer than 10,000 characters: line\0"
      "Eine Zelle in dieser Datei ist l\xE4nger als 10.000 Zeichen: Zeile\0"
      "column\0"
      "Spalte\0"
      "This is not a number that can be read:\0"
      "Diese Zahl l\xE4sst sich nicht lesen:\0"
      "The picture is incomplete: %1 of %2 rows\0"
      "Das Bild ist unvollst\xE4ndig: %1 von %2 Zeilen\0"
      "Edit\0"
      "Bearbeiten\0"
      "Undo\0"
      "R\xFC"
      "ckg\xE4ngig\0"
      "Redo\0"
      "Wiederholen\0"
      "Apply Calibration to Column\0"
      "Kalibrierung auf Spalte anwenden\0"
      "Set Origin Values\0"
      "Werte am Ursprung setzen\0"
      "Logarithmic X Axis\0"
      "Logarithmische X-Achse\0"
      "Logarithmic Y Axis\0"
      "Logarithmische Y-Achse\0"
      "Calibrate by Two Points per Axis\0"
      "Mit zwei Punkten je Achse kalibrieren\0"
      "Origin X Value\0"
      "X-Wert am Ursprung\0"
      "Origin Y Value\0"
      "Y-Wert am Ursprung\0"
      "A logarithmic axis has only values above 0:\0"
      "Eine logarithmische Achse hat nur Werte \xFC"
      "ber 0:\0"
      "A logarithmic axis has only values above 0: please set the values of this axis again.\0"
      "Eine logarithmische Achse hat nur Werte \xFC"
      "ber 0: Bitte setzen Sie die Werte dieser Achse neu.\0"
      "Please click for setting the first point on the X axis.\0"
      "Bitte w\xE4hlen Sie durch Klicken den ersten Punkt auf der X-Achse.\0"
      "Set First Point on X Axis\0"
      "Ersten Punkt auf der X-Achse w\xE4hlen\0"
      "First X Value\0"
      "Erster X-Wert\0"
      "Please click for setting the second point on the X axis.\0"
      "Bitte w\xE4hlen Sie durch Klicken den zweiten Punkt auf der X-Achse.\0"
      "Set Second Point on X Axis\0"
      "Zweiten Punkt auf der X-Achse w\xE4hlen\0"
      "Second X Value\0"
      "Zweiter X-Wert\0"
      "Please click for setting the first point on the Y axis.\0"
      "Bitte w\xE4hlen Sie durch Klicken den ersten Punkt auf der Y-Achse.\0"
      "Set First Point on Y Axis\0"
      "Ersten Punkt auf der Y-Achse w\xE4hlen\0"
      "First Y Value\0"
      "Erster Y-Wert\0"
      "Please click for setting the second point on the Y axis.\0"
      "Bitte w\xE4hlen Sie durch Klicken den zweiten Punkt auf der Y-Achse.\0"
      "Set Second Point on Y Axis\0"
      "Zweiten Punkt auf der Y-Achse w\xE4hlen\0"
      "Second Y Value\0"
      "Zweiter Y-Wert\0"
      "Please enter the value of this point.\0"
      "Bitte geben Sie den Wert dieses Punkts ein.\0"
      "These points do not define the axes. Please choose the calibration again.\0"
      "Diese Punkte legen die Achsen nicht fest. Bitte w\xE4hlen Sie die Kalibrierung erneut.\0"
      "The calibration gives this point no value. Please check the values of the axes.\0"
      "Die Kalibrierung gibt diesem Punkt keinen Wert. Bitte pr\xFC"
      "fen Sie die Werte der Achsen.\0"
      "Capture X and Y\0"
      "X und Y erfassen\0"
      "Show Markers\0"
      "Markierungen zeigen\0"
      "Open Project\0"
      "Projekt \xF6"
      "ffnen\0"
      "Save Project\0"
      "Projekt speichern\0"
      "Save Project As\0"
      "Projekt speichern unter\0"
      "Save Project With Picture\0"
      "Projekt mit Bild speichern\0"
      "The project could not be saved:\0"
      "Das Projekt konnte nicht gespeichert werden:\0"
      "The picture of the work could not be read:\0"
      "Das Bild der Arbeit l\xE4sst sich nicht lesen:\0"
      "Where is the picture of the project?\0"
      "Wo ist das Bild des Projekts?\0"
      "The picture of the project was not found:\0"
      "Das Bild des Projekts wurde nicht gefunden:\0"
      "The picture has changed since the project was saved; the points may no longer lie on what they "
      "marked.\0"
      "Das Bild hat sich ge\xE4ndert, seit das Projekt gespeichert wurde; die Punkte liegen vielleicht nicht "
      "mehr auf dem, was sie markierten.\0"
      "This project file is larger than 256 MB.\0"
      "Diese Projektdatei ist gr\xF6\xDF"
      "er als 256 MB.\0"
      "This file is no project: its text is broken or cut off.\0"
      "Diese Datei ist kein Projekt: Ihr Text ist besch\xE4"
      "digt oder abgeschnitten.\0"
      "This file is no project of this program.\0"
      "Diese Datei ist kein Projekt dieses Programms.\0"
      "This project was saved by a newer version of the program.\0"
      "Dieses Projekt wurde von einer neueren Version des Programms gespeichert.\0"
      "This project file is damaged:\0"
      "Diese Projektdatei ist besch\xE4"
      "digt:\0"
      "This project names its picture outside its folder:\0"
      "Dieses Projekt nennt sein Bild au\xDF"
      "erhalb seines Ordners:\0"
      "The picture of this project is larger than the program opens.\0"
      "Das Bild dieses Projekts ist gr\xF6\xDF"
      "er, als das Programm \xF6"
      "ffnet.\0"
      "The table in this project has more than 64 columns.\0"
      "Die Tabelle in diesem Projekt hat mehr als 64 Spalten.\0"
      "The table in this project has more than 250,000 cells.\0"
      "Die Tabelle in diesem Projekt hat mehr als 250.000 Zellen.\0"
      "This project has more than 10,000 calibrations.\0"
      "Dieses Projekt hat mehr als 10.000 Kalibrierungen.\0"
      "A text in this project is longer than 10,000 characters:\0"
      "Ein Text in diesem Projekt ist l\xE4nger als 10.000 Zeichen:\0"
      "A text in this project has characters the program cannot show:\0"
      "Ein Text in diesem Projekt enth\xE4lt Zeichen, die das Programm nicht zeigen kann:\0"
      // The end entry.
      "-1\0"
      "-1";

const std::size_t SUPPLEMENTARY_TRANSLATION_DATA_SIZE = sizeof(SUPPLEMENTARY_TRANSLATION_DATA);
