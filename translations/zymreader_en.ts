<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="pl_PL">
<context>
    <name>DialogCalc</name>
    <message>
        <location filename="../forms/dialogcalc.ui" line="+14"/>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>R1</source>
        <translation>R1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>R2</source>
        <translation>R2</translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+18"/>
        <location line="+18"/>
        <source>L=</source>
        <translation>L=</translation>
    </message>
    <message>
        <location filename="../tools/dialogcalc.cpp" line="+24"/>
        <source>brak</source>
        <translation>n/a</translation>
    </message>
</context>
<context>
    <name>DialogWykres</name>
    <message>
        <location filename="../forms/dialogwykres.ui" line="+17"/>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>I[A]</source>
        <translation>I[A]</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>U[V]</source>
        <translation>U[V]</translation>
    </message>
    <message>
        <location filename="../chart/dialogwykres.cpp" line="+13"/>
        <source>Przebieg prądu i napiecia</source>
        <translation>Current and Voltage Waveforms</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../forms/mainwindow.ui" line="+14"/>
        <source>ZYM Reader</source>
        <translation>ZYM Reader</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Baza danych</source>
        <translation>Database</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Pomiary</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Obiekty</source>
        <translation>Objects</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Metryka Pomiaru</source>
        <translation>Measurement Details</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>R=</source>
        <translation>R=</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Metoda 2P/3P</source>
        <translation>Method 2P/3P</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:10pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:10pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Komentarz</source>
        <translation>Comment</translation>
    </message>
    <message>
        <location line="+18"/>
        <location filename="../database/mainwindow_database.cpp" line="+175"/>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+18"/>
        <location filename="../database/mainwindow_database.cpp" line="+1"/>
        <source>Obiekt</source>
        <translation>Object</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>U[V]</source>
        <translation>U[V]</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>I[A]</source>
        <translation>I[A]</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Plik</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>ZYM</source>
        <translation>ZYM</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Narzędzia</source>
        <translation>Tools</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Wykres</source>
        <translation>Chart</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Opcje</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Język</source>
        <translation>Language</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Pomoc</source>
        <translation>Help</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Otwórz lokalną bazę danych</source>
        <translation>Open Local Database</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Połącz</source>
        <translation>Connect</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Zapisz pomiar jako</source>
        <translation>Save Measurement As</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Pobierz bazę danych</source>
        <translation>Download Database</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Okno</source>
        <translation>Separate Window</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Pokaż  cały</source>
        <translation>Show Whole Chart</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Zakończ</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Polski</source>
        <translation>Polish</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Angieski</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Rozłącz</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>O programie</source>
        <translation>About ZYM Reader</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Otwórz pomiar</source>
        <translation>Open Measurement</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Indukcyjność</source>
        <translation>Inductance</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+93"/>
        <source>Pytanie.</source>
        <translation>Question</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zakończyć program?</source>
        <translation>Exit the program?</translation>
    </message>
    <message>
        <location line="+3"/>
        <location filename="../database/mainwindow_database.cpp" line="+27"/>
        <location filename="../download/mainwindow_download.cpp" line="+93"/>
        <source>TAK</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../database/mainwindow_database.cpp" line="+1"/>
        <location filename="../download/mainwindow_download.cpp" line="+1"/>
        <source>NIE</source>
        <translation>No</translation>
    </message>
    <message>
        <location filename="../measurement/mainwindow_export.cpp" line="+33"/>
        <source>Zapisz do pliku CSV</source>
        <translation>Save to CSV File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik CSV (*.csv);;Plik ZYM (*.zym5)</source>
        <translation>CSV file (*.csv);;ZYM file (*.zym5)</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+7"/>
        <source>Uwaga!</source>
        <translation>Attention</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Nie można zapisać pomiaru w formacie PDF:
%1

Pomiar można zapisać jako plik CSV (*.csv) lub plik ZYM (*.zym5).</source>
        <translation>The measurement cannot be saved as PDF:
%1

It can be saved as a CSV file (*.csv) or a ZYM file (*.zym5).</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Nieznany format pliku:
%1

Pomiar można zapisać jako plik CSV (*.csv) lub plik ZYM (*.zym5).</source>
        <translation>Unknown file format:
%1

The measurement can be saved as a CSV file (*.csv) or a ZYM file (*.zym5).</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../measurement/mainwindow_pomiar.cpp" line="+29"/>
        <location filename="../database/mainwindow_database.cpp" line="+13"/>
        <location filename="../download/mainwindow_download.cpp" line="+45"/>
        <location line="+5"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Nie można zapisać pliku:
%1

%2</source>
        <translation>Cannot save the file:
%1

%2</translation>
    </message>
    <message>
        <location filename="../measurement/mainwindow_pomiar.cpp" line="-12"/>
        <source>Otwórz plik pomiaru</source>
        <translation>Open Measurement File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pliki pomiaru (*.zym5);;Wszystkie (*.*)</source>
        <translation>Measurement files (*.zym5);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Nie można otworzyć pliku pomiaru:
%1

%2</source>
        <translation>Cannot open the measurement file:
%1

%2</translation>
    </message>
    <message>
        <location line="+9"/>
        <location filename="../database/mainwindow_database.cpp" line="-57"/>
        <source>Metoda:</source>
        <translation>Method:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pomiar odczytany z pliku: </source>
        <translation>Measurement read from file: </translation>
    </message>
    <message>
        <location filename="../database/mainwindow_database.cpp" line="-26"/>
        <source>Obiekt: </source>
        <translation>Object: </translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Metoda</source>
        <translation>Method</translation>
    </message>
    <message>
        <location line="+25"/>
        <location filename="../download/mainwindow_download.cpp" line="-55"/>
        <location line="+45"/>
        <source>Ostrzeżenie!</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pole komentarza uległo zmianie. Zapisać komentarz w bazie danych?</source>
        <translation>The comment has been changed. Save it in the database?</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Pomiaru o numerze %1 nie ma w bazie danych.</source>
        <translation>Measurement number %1 is not in the database.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nie udało się zapisać komentarza w bazie danych.</source>
        <translation>The comment could not be saved in the database.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Otwórz plik bazy danych</source>
        <translation>Open Database File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pliki ZYM (*.db);;Wszystkie (*.*)</source>
        <translation>ZYM files (*.db);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+13"/>
        <location filename="../download/mainwindow_download.cpp" line="-94"/>
        <location line="+17"/>
        <source>Błąd otwarcia bazy danych.</source>
        <translation>Error opening the database.</translation>
    </message>
    <message>
        <location filename="../download/mainwindow_download.cpp" line="-26"/>
        <source>Uwaga!
W celu pobrania pomiarów z urządzenia ZYM-5 należy włączyć w urządzeniu ZYM sieć WIFI oraz połączyć się z siecią WIFI o nazwie &quot;ZYM_VORTA&quot;. Połączenie to zabezpieczone jest hasłem „qev40718”. Jeżeli jesteś już połączony z tą siecią - wybierz OK. W przeciwnym wypadku, wybierz anuluj i postępuj wedle instrukcji dołączonej do urządzenia.</source>
        <translation>Attention!
To download measurements from the ZYM-5 meter, switch on the meter&apos;s WiFi and connect to the WiFi network named &quot;ZYM_VORTA&quot;. The connection is protected by the password &quot;qev40718&quot;. If you are already connected to this network, choose OK. Otherwise choose Cancel and follow the instructions supplied with the meter.</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>Folder docelowy zawiera pliki. Wszystkie istniejace pliki zostaną nadpisane! Czy kontynuować operację?</source>
        <translation>The destination folder contains files. All existing files will be overwritten! Do you want to continue?</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Pobieranie bazy danych</source>
        <translation>Downloading Database</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Skopiowano %1 z %2 plików.
%3</source>
        <translation>Copied %1 of %2 files.
%3</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Informacja.</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operacja zakończona powodzeniem.</source>
        <translation>The operation completed successfully.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Niedozwolona operacja. Folder źródłowy nie może być ten sam co folder docelowy.</source>
        <translation>Operation not allowed. The source folder cannot be the same as the destination folder.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Błąd operacji. Kopiowanie przerwane. Sprawdź połączenie sieciowe</source>
        <translation>Operation failed. Copying was interrupted. Check the network connection.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Błąd połoczenia z bazą danych.</source>
        <translation>Error connecting to the database.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../measurement/csvexport.cpp" line="+145"/>
        <source>Pomiar_</source>
        <translation>Measurement_</translation>
    </message>
    <message>
        <location filename="../measurement/datafile.cpp" line="+54"/>
        <source>Plik nie istnieje.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nie można odczytać pliku.</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Plik jest krótszy niż pełny pomiar (240080 bajtów).</source>
        <translation>The file is shorter than a complete measurement (240080 bytes).</translation>
    </message>
    <message>
        <location filename="../measurement/tdatabase_pomiar.cpp" line="+80"/>
        <location line="+16"/>
        <source>Zapisany: </source>
        <translation>Recorded: </translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Poza zakresem</source>
        <translation>Out of range</translation>
    </message>
    <message>
        <location filename="../database/mainwindow_database.cpp" line="-195"/>
        <source>OBIEKT</source>
        <translation>OBJECT</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>DATA</source>
        <translation>DATE</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>WYNIK</source>
        <translation>RESULT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>KOMENTARZ</source>
        <translation>COMMENT</translation>
    </message>
    <message>
        <location filename="../measurement/replacefile.cpp" line="+28"/>
        <source>Zapisano tylko %1 z %2 bajtów.</source>
        <translation>Only %1 of %2 bytes were written.</translation>
    </message>
    <message>
        <location filename="../database/tdatabase.cpp" line="+181"/>
        <source>Tabela %1 jest w tym pliku widokiem, a nie tabelą pomiarów.</source>
        <translation>In this file, %1 is a view, not a table of measurements.</translation>
    </message>
</context>
<context>
    <name>about</name>
    <message>
        <location filename="../forms/about.ui" line="+14"/>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:7.8pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; font-weight:600;&quot;&gt;ZYM Reader&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:10pt; font-weight:600;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Version 1.0&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;ZYM Reader contributors&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;https://zym-reader.example/&quot;&gt;&lt;span style=&quot; font-size:8pt; text-decoration: underline; color:#0000ff;&quot;&gt;https://zym-reader.example/&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Qt Version  Qt %1&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Licencja: GNU General Public License, wersja 3&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;https://www.gnu.org/licenses/gpl-3.0.html&quot;&gt;&lt;span style=&quot; font-size:8pt; text-decoration: underline; color:#0000ff;&quot;&gt;https://www.gnu.org/licenses/gpl-3.0.html&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:7.8pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:10pt; font-weight:600;&quot;&gt;ZYM Reader&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:10pt; font-weight:600;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Version 1.0&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;ZYM Reader contributors&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;https://zym-reader.example/&quot;&gt;&lt;span style=&quot; font-size:8pt; text-decoration: underline; color:#0000ff;&quot;&gt;https://zym-reader.example/&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Qt Version  Qt %1&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Licence: GNU General Public License, version 3&lt;/span&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;https://www.gnu.org/licenses/gpl-3.0.html&quot;&gt;&lt;span style=&quot; font-size:8pt; text-decoration: underline; color:#0000ff;&quot;&gt;https://www.gnu.org/licenses/gpl-3.0.html&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location filename="../app/about.cpp" line="+24"/>
        <source>O programie</source>
        <translation>About ZYM Reader</translation>
    </message>
</context>
</TS>
