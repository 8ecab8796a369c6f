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
        <location line="+18"/>
        <source>Dopasowanie do całego impulsu</source>
        <translation>Fit to the whole pulse</translation>
    </message>
    <message>
        <location filename="../tools/ui/dialogcalc.cpp" line="+25"/>
        <source>brak</source>
        <translation>n/a</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Reszta RMS=%1 mV, wierszy: %2</source>
        <translation>RMS residual=%1 mV, rows: %2</translation>
    </message>
</context>
<context>
    <name>DialogGrupy</name>
    <message>
        <location filename="../verdict/ui/werdyktwindows.cpp" line="+422"/>
        <source>Grupy obiektów</source>
        <translation>Object groups</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nowa grupa…</source>
        <translation>New group…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Członkowie…</source>
        <translation>Members…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Usuń grupę</source>
        <translation>Remove group</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Grupa:</source>
        <translation>Group:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Obiekt</source>
        <translation>Object</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Data</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>T [°C]</source>
        <translation>T [°C]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R porównane</source>
        <translation>R compared</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Od najniższego</source>
        <translation>From the lowest</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Od średniej</source>
        <translation>From the mean</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Werdykt</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+109"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-70"/>
        <source>brak pomiaru</source>
        <translation>no measurement</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Porównano R w temperaturze odniesienia. Najniższe %1, średnia %2.</source>
        <translation>R compared at the reference temperature. Lowest %1, mean %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Porównano R bez korekcji temperatury: nie każdy pomiar ma temperaturę. Najniższe %1, średnia %2.</source>
        <translation>R compared without temperature correction: not every measurement has a temperature. Lowest %1, mean %2.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Nowa grupa</source>
        <translation>New group</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Członkowie grupy</source>
        <translation>Group members</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nazwa grupy</source>
        <translation>Group name</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Grupa</source>
        <translation>Group</translation>
    </message>
</context>
<context>
    <name>DialogHistoria</name>
    <message>
        <location filename="../database/ui/dialoghistoria.cpp" line="+364"/>
        <source>Ostrzeżenie!</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Identyfikator tego pomiaru w bazie danych nie jest liczbą całkowitą albo ma go kilka wierszy. Nie można go otworzyć ani zapisać jego komentarza.</source>
        <translation>The id of this measurement in the database is not a whole number, or several rows share it. It cannot be opened and its comment cannot be saved.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Historia: </source>
        <translation>History: </translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+239"/>
        <source>Ustaw jako odniesienie</source>
        <translation>Set as reference</translation>
    </message>
    <message>
        <location line="-238"/>
        <location line="+241"/>
        <location line="+112"/>
        <source>Zapisz historię jako CSV…</source>
        <translation>Save history as CSV…</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Historia_</source>
        <translation>History_</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Plik CSV (*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <source>Błąd!</source>
        <translation type="vanished">Error</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku:
%1

%2</source>
        <translation type="vanished">Cannot save the file:
%1

%2</translation>
    </message>
    <message>
        <location line="-544"/>
        <source>Miernik</source>
        <translation>Meter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Różnica wzgl. odniesienia</source>
        <translation>Difference vs reference</translation>
    </message>
    <message>
        <location line="+269"/>
        <source>Poza zakresem</source>
        <translation>Out of range</translation>
    </message>
</context>
<context>
    <name>DialogImport</name>
    <message>
        <location filename="../archive/ui/dialogimport.cpp" line="+156"/>
        <source>Nie można odczytać dziennika importów archiwum:
%1

%2</source>
        <translation>Cannot read the import log of the archive:
%1

%2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Do archiwum nie zaimportowano jeszcze niczego.</source>
        <translation>Nothing has been imported into the archive yet.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Źródło: %1</source>
        <translation>Source: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nowe pomiary: %1</source>
        <translation>New measurements: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>(w tym bez pliku danych: %1)</source>
        <translation>(of which without a data file: %1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Już w archiwum: %1</source>
        <translation>Already archived: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Konflikty: %1</source>
        <translation>Conflicts: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Odrzucone: %1</source>
        <translation>Refused: %1</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Importy do archiwum</source>
        <translation>Imports into the archive</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Źródło</source>
        <translation>Source</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Nowe</source>
        <translation>New</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Już w archiwum</source>
        <translation>Already archived</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Konflikty</source>
        <translation>Conflicts</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Odrzucone</source>
        <translation>Refused</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Baza danych</source>
        <translation>Database</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Nr pomiaru</source>
        <translation>Measurement no.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Plik danych</source>
        <translation>Data file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Powód</source>
        <translation>Reason</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Szczegóły</source>
        <translation>Details</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zamknij</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Uwagi: %1, wymienione pierwsze %2 (%3)</source>
        <translation>Notes: %1, the first %2 listed (%3)</translation>
    </message>
</context>
<context>
    <name>DialogObiektWerdykt</name>
    <message>
        <location filename="../verdict/ui/werdyktwindows.cpp" line="-411"/>
        <source>Ocena obiektu: %1</source>
        <translation>Object assessment: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Materiał</source>
        <translation>Material</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Miedź (235)</source>
        <translation>Copper (235)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aluminium (225)</source>
        <translation>Aluminium (225)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Inny</source>
        <translation>Other</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Materiał:</source>
        <translation>Material:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stała K:</source>
        <translation>Constant K:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Temperatura odniesienia [°C]:</source>
        <translation>Reference temperature [°C]:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Odniesienie</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Brak</source>
        <translation>None</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Jeden z pomiarów</source>
        <translation>One of the measurements</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Wpisana wartość</source>
        <translation>Typed value</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>nieznana</source>
        <translation>unknown</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odniesienie:</source>
        <translation>Reference:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomiar:</source>
        <translation>Measurement:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R:</source>
        <translation>R:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Temperatura [°C]:</source>
        <translation>Temperature [°C]:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Limity (puste pole: bez limitu)</source>
        <translation>Limits (empty field: no limit)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>od</source>
        <translation>from</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>do</source>
        <translation>to</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>od najniższego</source>
        <translation>from the lowest</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>od średniej</source>
        <translation>from the mean</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Zakres R:</source>
        <translation>R range:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Największa zmiana względem odniesienia [%]:</source>
        <translation>Largest change against the reference [%]:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Największe odchylenie w grupie [%]:</source>
        <translation>Largest deviation within the group [%]:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zamknij</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Grupa: %1 (%2)</source>
        <translation>Group: %1 (%2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Obiekt nie należy do żadnej grupy.</source>
        <translation>The object belongs to no group.</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+7"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Wpisz liczby (z kropką lub przecinkiem) albo zostaw pole puste.</source>
        <translation>Type numbers (with a point or a comma) or leave the field empty.</translation>
    </message>
    <message>
        <source>Rezystancja w limitach i w odniesieniu musi być większa od zera.</source>
        <translation>The resistance in the limits and in the reference must be greater than zero.</translation>
    </message>
    <message>
        <source>Dolna granica zakresu R jest większa od górnej.</source>
        <translation>The lower bound of the R range is greater than the upper one.</translation>
    </message>
    <message>
        <source>Największa zmiana i największe odchylenie nie mogą być ujemne.</source>
        <translation>The largest change and the largest deviation cannot be negative.</translation>
    </message>
    <message>
        <source>Temperatura odniesienia %1 °C nie jest wyższa od -K (%2 °C): w niej nie ma rezystancji.</source>
        <translation>The reference temperature %1 °C is not above -K (%2 °C): there is no resistance at it.</translation>
    </message>
</context>
<context>
    <name>DialogPomiarWerdykt</name>
    <message>
        <location line="+21"/>
        <source>Temperatura i werdykt pomiaru</source>
        <translation>Measurement temperature and verdict</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>nieznana</source>
        <translation>unknown</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>automatyczny</source>
        <translation>automatic</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Oceń ponownie według obecnych limitów</source>
        <translation>Judge again by the current limits</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Temperatura uzwojenia [°C]:</source>
        <translation>Winding temperature [°C]:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Werdykt:</source>
        <translation>Verdict:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Powód zmiany:</source>
        <translation>Reason for the change:</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+5"/>
        <location line="+15"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>Wpisz liczby (z kropką lub przecinkiem) albo zostaw pole puste.</source>
        <translation>Type numbers (with a point or a comma) or leave the field empty.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Podaj powód zmiany werdyktu.</source>
        <translation>Give the reason for changing the verdict.</translation>
    </message>
    <message>
        <source>Temperatura %1 °C nie jest wyższa od -K materiału (%2 °C): w niej nie ma rezystancji.</source>
        <translation>The temperature %1 °C is not above the material&apos;s -K (%2 °C): there is no resistance at it.</translation>
    </message>
    <message>
        <source>Temperatura %1 °C leży poza zwykłym zakresem (%2 do %3 °C). Zapisać ją mimo to?</source>
        <translation>The temperature %1 °C lies outside the usual range (%2 to %3 °C). Save it anyway?</translation>
    </message>
    <message>
        <source>Pytanie.</source>
        <translation>Question.</translation>
    </message>
</context>
<context>
    <name>DialogUstawienia</name>
    <message>
        <location filename="../app/settingsdialog.cpp" line="+41"/>
        <source>Ustawienia</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Adres sieciowy miernika:</source>
        <translation>Meter&apos;s network address:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Baza danych miernika:</source>
        <translation>Meter&apos;s database:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pliki ZYM (*.db);;Wszystkie (*.*)</source>
        <translation>ZYM files (*.db);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Folder pobierania:</source>
        <translation>Download folder:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Plik archiwum:</source>
        <translation>Archive file:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Archiwum (*.db);;Wszystkie (*.*)</source>
        <translation>Archive (*.db);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Importuj pobrane pomiary do archiwum</source>
        <translation>Import downloaded measurements into the archive</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pokaż menu Narzędzia</source>
        <translation>Show the Tools menu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pytaj przed zakończeniem programu</source>
        <translation>Ask before quitting the program</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Otwieraj przy starcie ostatnio otwartą bazę danych</source>
        <translation>Open the last database at start</translation>
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
        <location filename="../chart/dialogwykres.cpp" line="+14"/>
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
        <location filename="../database/resulttexts.cpp" line="+69"/>
        <location line="+12"/>
        <location line="+16"/>
        <source>Komentarz</source>
        <translation>Comment</translation>
    </message>
    <message>
        <location line="+18"/>
        <location filename="../database/resulttexts.cpp" line="-2"/>
        <location filename="../database/ui/bazacontrol.cpp" line="+285"/>
        <location line="+31"/>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+18"/>
        <location filename="../database/resulttexts.cpp" line="-18"/>
        <location line="+16"/>
        <location filename="../database/ui/bazacontrol.cpp" line="-30"/>
        <source>Obiekt</source>
        <translation>Object</translation>
    </message>
    <message>
        <location line="+29"/>
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
        <location line="+12"/>
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
        <location line="+49"/>
        <source>Prąd na osi prawej</source>
        <translation>Current on the Right Axis</translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Zakończ</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Polski</source>
        <translation>Polski</translation>
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
        <location line="+13"/>
        <source>Historia obiektu</source>
        <translation>Object history</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+265"/>
        <source>Pytanie.</source>
        <translation>Question</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zakończyć program?</source>
        <translation>Exit the program?</translation>
    </message>
    <message>
        <location filename="../common/ui/messages.cpp" line="+10"/>
        <location line="+8"/>
        <source>TAK</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location line="-7"/>
        <location line="+8"/>
        <source>NIE</source>
        <translation>No</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_pomiar.cpp" line="+127"/>
        <source>Zapisz do pliku CSV</source>
        <translation>Save to CSV File</translation>
    </message>
    <message>
        <location line="-39"/>
        <source>Plik CSV (*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik ZYM (*.zym5)</source>
        <translation>ZYM file (*.zym5)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Raport PDF (*.pdf)</source>
        <translation>PDF report (*.pdf)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik CSV z kropką dziesiętną (*.csv)</source>
        <translation>CSV file with decimal point (*.csv)</translation>
    </message>
    <message>
        <location filename="../database/resulttexts.cpp" line="+1"/>
        <source>Rezystancja</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_pomiar.cpp" line="+77"/>
        <source>Pomiar zapisano w pliku %1</source>
        <translation>Measurement saved to file %1</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>Uwaga!</source>
        <translation>Attention</translation>
    </message>
    <message>
        <location line="-112"/>
        <location filename="../app/settingsdialog.cpp" line="+68"/>
        <location filename="../database/ui/bazacontrol.cpp" line="+83"/>
        <location line="+211"/>
        <location filename="../download/ui/downloadrun.cpp" line="+72"/>
        <location line="+2"/>
        <location line="+8"/>
        <location filename="../archive/ui/archivecontrol.cpp" line="+170"/>
        <location line="+18"/>
        <location line="+50"/>
        <location line="+124"/>
        <location filename="../sync/ui/synccontrol.cpp" line="+199"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku:
%1

%2</source>
        <translation type="vanished">Cannot save the file:
%1

%2</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>Otwórz plik pomiaru</source>
        <translation>Open Measurement File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pliki pomiaru (*.zym5);;Wszystkie (*.*)</source>
        <translation>Measurement files (*.zym5);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Nie można otworzyć pliku pomiaru:
%1

%2</source>
        <translation>Cannot open the measurement file:
%1

%2</translation>
    </message>
    <message>
        <location filename="../database/resulttexts.cpp" line="-26"/>
        <location line="+12"/>
        <source>Metoda:</source>
        <translation>Method:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Pomiar odczytany z pliku: </source>
        <translation>Measurement read from file: </translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="-43"/>
        <location line="+26"/>
        <location filename="../database/resulttexts.cpp" line="-28"/>
        <location filename="../database/ui/bazacontrol.cpp" line="-370"/>
        <location line="+40"/>
        <source>Obiekt: </source>
        <translation>Object: </translation>
    </message>
    <message>
        <location filename="../database/resulttexts.cpp" line="+37"/>
        <location filename="../database/ui/bazacontrol.cpp" line="+34"/>
        <location line="+31"/>
        <source>Metoda</source>
        <translation>Method</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_pomiar.cpp" line="+170"/>
        <location filename="../database/ui/bazacontrol.cpp" line="-155"/>
        <location line="+32"/>
        <location line="+70"/>
        <location line="+47"/>
        <location line="+29"/>
        <location line="+5"/>
        <location line="+228"/>
        <location filename="../download/ui/downloadrun.cpp" line="-13"/>
        <location line="+8"/>
        <location line="+10"/>
        <location line="+70"/>
        <source>Ostrzeżenie!</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../database/ui/bazacontrol.cpp" line="-308"/>
        <source>Identyfikator %1 ma w bazie danych więcej niż jeden pomiar. Nie można go wyświetlić ani zapisać jego komentarza.</source>
        <translation>The id %1 belongs to more than one measurement in the database. It cannot be shown and its comment cannot be saved.</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>Pole komentarza uległo zmianie. Zapisać komentarz w bazie danych?</source>
        <translation>The comment has been changed. Save it in the database?</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Pomiaru o numerze %1 nie ma w bazie danych.</source>
        <translation>Measurement number %1 is not in the database.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nie udało się zapisać komentarza w bazie danych.</source>
        <translation>The comment could not be saved in the database.</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_meter.cpp" line="+115"/>
        <source>Otwórz plik bazy danych</source>
        <translation>Open Database File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pliki ZYM (*.db);;Wszystkie (*.*)</source>
        <translation>ZYM files (*.db);;All files (*.*)</translation>
    </message>
    <message>
        <location filename="../database/ui/bazacontrol.cpp" line="+39"/>
        <location line="+10"/>
        <location line="+13"/>
        <location filename="../download/ui/meterlink.cpp" line="+34"/>
        <location line="+18"/>
        <source>Błąd otwarcia bazy danych.</source>
        <translation>Error opening the database.</translation>
    </message>
    <message>
        <location filename="../download/ui/meterlink.cpp" line="-28"/>
        <source>Uwaga!
W celu pobrania pomiarów z urządzenia ZYM-5 należy włączyć w urządzeniu ZYM sieć WIFI oraz połączyć się z siecią WIFI o nazwie &quot;ZYM_VORTA&quot;. Połączenie to zabezpieczone jest hasłem „qev40718”. Jeżeli jesteś już połączony z tą siecią - wybierz OK. W przeciwnym wypadku, wybierz anuluj i postępuj wedle instrukcji dołączonej do urządzenia.</source>
        <translation>Attention!
To download measurements from the ZYM-5 meter, switch on the meter&apos;s WiFi and connect to the WiFi network named &quot;ZYM_VORTA&quot;. The connection is protected by the password &quot;qev40718&quot;. If you are already connected to this network, choose OK. Otherwise choose Cancel and follow the instructions supplied with the meter.</translation>
    </message>
    <message>
        <location filename="../download/ui/downloadrun.cpp" line="+1"/>
        <source>Folder docelowy zawiera pliki. Wszystkie istniejace pliki zostaną nadpisane! Czy kontynuować operację?</source>
        <translation>The destination folder contains files. All existing files will be overwritten! Do you want to continue?</translation>
    </message>
    <message>
        <location line="-119"/>
        <source>Pobieranie bazy danych</source>
        <translation>Downloading Database</translation>
    </message>
    <message>
        <location filename="../common/ui/messages.cpp" line="+1"/>
        <location filename="../download/ui/downloadrun.cpp" line="+1"/>
        <location filename="../archive/ui/archivecontrol.cpp" line="-32"/>
        <location filename="../sync/ui/synccontrol.cpp" line="-29"/>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../download/ui/downloadrun.cpp" line="+5"/>
        <source>Skopiowano %1 z %2 plików.
%3</source>
        <translation>Copied %1 of %2 files.
%3</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Informacja.</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operacja zakończona powodzeniem.</source>
        <translation>The operation completed successfully.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Niedozwolona operacja. Folder źródłowy nie może być ten sam co folder docelowy.</source>
        <translation>Operation not allowed. The source folder cannot be the same as the destination folder.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Błąd operacji. Kopiowanie przerwane. Sprawdź połączenie sieciowe</source>
        <translation>Operation failed. Copying was interrupted. Check the network connection.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Błąd połoczenia z bazą danych.</source>
        <translation>Error connecting to the database.</translation>
    </message>
    <message>
        <location filename="../database/ui/bazacontrol.cpp" line="+149"/>
        <source>Nie można odczytać historii obiektu.</source>
        <translation>Cannot read the history of the object.</translation>
    </message>
    <message>
        <location line="-388"/>
        <source>Obiekt ma w bazie danych identyfikator &quot;%1&quot;, który nie jest liczbą całkowitą. Nie można wyświetlić jego pomiarów.</source>
        <translation>The object&apos;s identifier in the database, &quot;%1&quot;, is not a whole number. Its measurements cannot be shown.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pomiar ma w bazie danych identyfikator &quot;%1&quot;, który nie jest liczbą całkowitą. Nie można go wyświetlić ani zapisać jego komentarza.</source>
        <translation>The measurement&apos;s identifier in the database, &quot;%1&quot;, is not a whole number. It cannot be shown and its comment cannot be saved.</translation>
    </message>
    <message>
        <location filename="../download/ui/meterlink.cpp" line="+11"/>
        <source>Nie znaleziono pliku bazy danych miernika albo jest on nieosiągalny:
%1</source>
        <translation>The meter&apos;s database file was not found or cannot be reached:
%1</translation>
    </message>
    <message>
        <source>Pobieranie nie powiodło się. Skopiowano %1 z %2 plików pomiarów.
Plik bazy danych nie został skopiowany: kopia bazy w folderze docelowym pozostała bez zmian.

Nie skopiowano:
%3</source>
        <translation type="vanished">The download failed. %1 of %2 measurement files were copied.
The database file was not copied: the database copy in the target folder was left unchanged.

Not copied:
%3</translation>
    </message>
    <message>
        <location filename="../download/ui/downloadrun.cpp" line="+8"/>
        <source>Za mało miejsca w folderze docelowym:
%1

Pobranie wymaga %2 MB, wolne jest %3 MB. Nic nie zostało skopiowane.</source>
        <translation>Not enough space in the target folder:
%1

The download needs %2 MB, %3 MB are free. Nothing was copied.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>(i %1 innych)</source>
        <translation>(and %1 more)</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_pomiar.cpp" line="-58"/>
        <source>Nieznany format pliku:
%1

Pomiar można zapisać jako plik CSV (*.csv), plik ZYM (*.zym5) lub raport PDF (*.pdf).</source>
        <translation>Unknown file format:
%1

The measurement can be saved as a CSV file (*.csv), a ZYM file (*.zym5) or a PDF report (*.pdf).</translation>
    </message>
    <message>
        <location filename="../app/settingsdialog.cpp" line="+1"/>
        <source>Nie udało się zapisać ustawień w pliku:
%1</source>
        <translation>The settings could not be saved in the file:
%1</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Ustawienia…</source>
        <translation>Settings…</translation>
    </message>
    <message>
        <location filename="../database/ui/bazacontrol.cpp" line="+452"/>
        <source>Szukaj</source>
        <translation>Search</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zawęża listę obiektów do nazw zawierających wpisany tekst (Esc czyści).</source>
        <translation>Narrows the object list to names containing the text typed (Esc clears).</translation>
    </message>
    <message>
        <location filename="../download/ui/meterlink.cpp" line="+4"/>
        <source>Udział sieciowy miernika musi być zamontowany, na przykład:
sudo mount -t cifs //%1/zym_wyniki /mnt/zym -o guest
a w „Opcje › Ustawienia…” baza danych miernika /mnt/zym/zym_5.db (zob. README).</source>
        <translation>The meter&apos;s network share must be mounted, for example:
sudo mount -t cifs //%1/zym_wyniki /mnt/zym -o guest
and in “Options › Settings…” the meter&apos;s database set to /mnt/zym/zym_5.db (see README).</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Adres miernika i ścieżkę jego bazy danych można zmienić w „Opcje › Ustawienia…”.</source>
        <translation>The meter&apos;s address and the path of its database can be changed in “Options › Settings…”.</translation>
    </message>
    <message>
        <location filename="../database/ui/obiektylist.cpp" line="+35"/>
        <source>%1
(obiekt nr %2)</source>
        <translation>%1
(object no. %2)</translation>
    </message>
    <message>
        <location filename="../database/ui/bazacontrol.cpp" line="-313"/>
        <source>Pole komentarza uległo zmianie. Zapisać komentarz w archiwum?</source>
        <translation>The comment has changed. Save the comment in the archive?</translation>
    </message>
    <message>
        <source>Udział sieciowy miernika musi być zamontowany, na przykład:
sudo mount -t cifs //%1/zym_wyniki /mnt/zym -o guest
a w pliku ZYMReader.ini ustawione ZYM_DataBasePath=/mnt/zym/zym_5.db (zob. README).</source>
        <translation type="vanished">The meter&apos;s network share must be mounted, for example:
sudo mount -t cifs //%1/zym_wyniki /mnt/zym -o guest
and ZYMReader.ini must set ZYM_DataBasePath=/mnt/zym/zym_5.db (see README).</translation>
    </message>
    <message>
        <location filename="../archive/ui/archivecontrol.cpp" line="-196"/>
        <source>Otwórz archiwum</source>
        <translation>Open archive</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Z otwartej bazy danych</source>
        <translation>From the open database</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Z folderu…</source>
        <translation>From a folder…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dziennik importów…</source>
        <translation>Import log…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Importuj do archiwum</source>
        <translation>Import into archive</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+46"/>
        <source>Archiwum: %1</source>
        <translation>Archive: %1</translation>
    </message>
    <message>
        <location line="-21"/>
        <location line="+18"/>
        <source>Nie można otworzyć archiwum:
%1

%2</source>
        <translation>Cannot open the archive:
%1

%2</translation>
    </message>
    <message>
        <source>Nie wszystko w archiwum daje się odczytać; to, co widać, może być niepełne.
%1

%2</source>
        <translation>Not everything in the archive can be read; what is shown may be incomplete.
%1

%2</translation>
    </message>
    <message>
        <source>(tylko do odczytu)</source>
        <translation>(read-only)</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Zapis pomiaru w archiwum jest uszkodzony: nie zgadza się z sumą kontrolną. Pomiar nie zostanie pokazany.</source>
        <translation>The archived record of this measurement is damaged: it does not match its checksum. The measurement will not be shown.</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Importuj do archiwum wszystkie bazy folderu</source>
        <translation>Import every database of a folder into the archive</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Import do archiwum</source>
        <translation>Import into the archive</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Import do archiwum:
%1</source>
        <translation>Import into the archive:
%1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Import do archiwum:
%1

Pomiar %2 z %3.</source>
        <translation>Import into the archive:
%1

Measurement %2 of %3.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Import do archiwum przerwany: archiwum pozostało bez zmian.</source>
        <translation>Import into the archive cancelled: the archive is unchanged.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Import do archiwum nie powiódł się.</source>
        <translation>The import into the archive failed.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Pomiarów nie zaimportowano do archiwum.</source>
        <translation>The measurements were not imported into the archive.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nowych pomiarów w archiwum: %1.</source>
        <translation>New measurements in the archive: %1.</translation>
    </message>
    <message>
        <location filename="../database/ui/bazacontrol.cpp" line="-34"/>
        <source>Nie można odczytać pliku danych pomiaru:
%1</source>
        <translation>The measurement&apos;s data file cannot be read:
%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Brak pliku danych pomiaru:
%1</source>
        <translation>The measurement&apos;s data file is missing:
%1</translation>
    </message>
    <message>
        <location filename="../download/ui/downloadrun.cpp" line="-25"/>
        <source>Plik bazy danych został skopiowany, ale skopiowano tylko %1 z %2 plików pomiarów. Pomiary bez pliku pokażą się bez przebiegu.</source>
        <translation>The database file was copied, but only %1 of %2 measurement files were. Measurements without their file will show without a waveform.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Brak na mierniku (%1):</source>
        <translation>Missing on the meter (%1):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Niedozwolona nazwa pliku (%1):</source>
        <translation>File name not allowed (%1):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kopiowanie nie powiodło się (%1):</source>
        <translation>Copy failed (%1):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nie kopiowano po przerwaniu (%1):</source>
        <translation>Not copied after the cancel (%1):</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Poprzednia kopia bazy danych w folderze docelowym miała inne komentarze niż baza miernika. Zachowano ją jako:
%1</source>
        <translation>The earlier copy of the database in the target folder had other comments than the meter&apos;s database. It was kept as:
%1</translation>
    </message>
    <message>
        <location line="-48"/>
        <source>Pobieranie przerwane. Skopiowano %1 z %2 plików pomiarów. Plik bazy danych nie został skopiowany: kopia bazy w folderze docelowym pozostała bez zmian.</source>
        <translation>Download cancelled. %1 of %2 measurement files were copied. The database file was not copied: the copy of the database in the target folder is unchanged.</translation>
    </message>
    <message>
        <location filename="../app/settings.cpp" line="+75"/>
        <source>Ostatnio otwarta baza danych nie istnieje: %1</source>
        <translation>The database opened last no longer exists: %1</translation>
    </message>
    <message>
        <location filename="../verdict/ui/werdyktcontrol.cpp" line="+64"/>
        <location line="+92"/>
        <location line="+12"/>
        <source>Ocena obiektu…</source>
        <translation>Object assessment…</translation>
    </message>
    <message>
        <location line="-101"/>
        <source>Grupy obiektów…</source>
        <translation>Object groups…</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>zmień…</source>
        <translation>change…</translation>
    </message>
    <message>
        <location line="+58"/>
        <source> (ręcznie: %1)</source>
        <translation> (by hand: %1)</translation>
    </message>
    <message>
        <source> (grupa %1: %2)</source>
        <translation> (group %1: %2)</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+1"/>
        <source>T [°C]</source>
        <translation>T [°C]</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>R(%1 °C)</source>
        <translation>R(%1 °C)</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+1"/>
        <source>Werdykt</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R(%1 °C) [Ohm]</source>
        <translation>R(%1 °C) [Ohm]</translation>
    </message>
    <message>
        <location filename="../sync/ui/synccontrol.cpp" line="-76"/>
        <source>Synchronizuj z serwerem</source>
        <translation>Synchronize with the server</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>nigdy</source>
        <translation>never</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Synchronizacja: %1, do wysłania: %2</source>
        <translation>Synchronized: %1, waiting to be sent: %2</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Autor</source>
        <translation>Author</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Twoje imię i nazwisko, zapisywane przy komentarzach i innych wpisach, które trafiają na serwer zespołu:</source>
        <translation>Your name, saved with comments and other entries that go to the team server:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Synchronizacja</source>
        <translation>Synchronization</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Serwer zespołu nie jest ustawiony. Podaj go w pliku ZYMReader.ini, w sekcji [Serwer]: host, port, database, user oraz password (albo hasło w pliku .pgpass), opcjonalnie sslmode.</source>
        <translation>No team server is set up. Name it in ZYMReader.ini, section [Serwer]: host, port, database, user and password (or the password in a .pgpass file), optionally sslmode.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Synchronizacja z serwerem</source>
        <translation>Synchronizing with the server</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Łączenie z serwerem %1…</source>
        <translation>Connecting to the server %1…</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Wysyłanie na serwer %1: %2 z %3.</source>
        <translation>Sending to the server %1: %2 of %3.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pobieranie z serwera %1: %2 z %3.</source>
        <translation>Fetching from the server %1: %2 of %3.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Synchronizacja przerwana; to, co zdążyło przejść, zostaje po obu stronach.</source>
        <translation>Synchronization cancelled; what got through stays on both sides.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Synchronizacja z serwerem nie powiodła się.</source>
        <translation>Synchronizing with the server failed.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Synchronizacja zakończona. Wysłano pomiarów: %1, wpisów: %2; pobrano pomiarów: %3, wpisów: %4.</source>
        <translation>Synchronization finished. Sent measurements: %1, entries: %2; fetched measurements: %3, entries: %4.</translation>
    </message>
    <message>
        <source>Plik danych pomiaru jest za krótki (zapis niepełny):
%1</source>
        <translation>The measurement data file is too short (incomplete record):
%1</translation>
    </message>
    <message>
        <source>Za krótkie, bez przebiegu (%1):</source>
        <translation>Too short, no waveform (%1):</translation>
    </message>
    <message>
        <source>… i %1 innych.</source>
        <translation>… and %1 more.</translation>
    </message>
    <message>
        <source>Nie wszystko przeszło; te pozycje zostały odrzucone, a następna synchronizacja spróbuje ponownie:</source>
        <translation>Not everything went through; these items were refused, and the next synchronization tries them again:</translation>
    </message>
    <message>
        <source>Wizyty i protokoły…</source>
        <translation>Site visits and protocols…</translation>
    </message>
    <message>
        <source>Rejestr obiektów…</source>
        <translation>Asset register…</translation>
    </message>
    <message>
        <source>Hasło do serwera</source>
        <translation>Server password</translation>
    </message>
    <message>
        <source>Hasło użytkownika %1 na serwerze %2 (zapamiętane zostanie w magazynie haseł systemu, nie w ZYMReader.ini):</source>
        <translation>The password of user %1 on server %2 (it will be kept in the system&apos;s password store, not in ZYMReader.ini):</translation>
    </message>
    <message>
        <source>Hasła nie udało się zapamiętać w magazynie haseł systemu (%1); następna synchronizacja zapyta o nie ponownie.</source>
        <translation>The password could not be kept in the system&apos;s password store (%1); the next synchronization will ask for it again.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../measurement/csvexport.cpp" line="+324"/>
        <source>Pomiar_</source>
        <translation>Measurement_</translation>
    </message>
    <message>
        <location filename="../measurement/datafile.cpp" line="+64"/>
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
        <location filename="../database/tdatabase_pomiar.cpp" line="+87"/>
        <location line="+19"/>
        <location line="+2"/>
        <location line="+1"/>
        <source>Zapisany: </source>
        <translation>Recorded: </translation>
    </message>
    <message>
        <location filename="../database/historia.cpp" line="+191"/>
        <location filename="../database/tdatabase_pomiar.cpp" line="-3"/>
        <location filename="../database/ui/tableviews.cpp" line="+87"/>
        <source>nieznany</source>
        <translation>unknown</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+79"/>
        <location filename="../database/historiaexport.cpp" line="+37"/>
        <location filename="../database/resulttexts.cpp" line="-58"/>
        <location filename="../database/tdatabase_pomiar.cpp" line="-6"/>
        <location filename="../database/ui/dialoghistoria.cpp" line="-59"/>
        <source>Poza zakresem</source>
        <translation>Out of range</translation>
    </message>
    <message>
        <location line="-77"/>
        <location filename="../database/resulttexts.cpp" line="-4"/>
        <location filename="../database/tdatabase_pomiar.cpp" line="-76"/>
        <location filename="../verdict/ui/werdyktwindows.cpp" line="-264"/>
        <location filename="../verdict/verdictreport.cpp" line="+35"/>
        <location line="+12"/>
        <location line="+17"/>
        <source>brak</source>
        <translation>n/a</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R [Ohm]</source>
        <translation>R [Ohm]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Metoda</source>
        <translation>Method</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zmiana wzgl. odniesienia [%]</source>
        <translation>Change vs reference [%]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zmiana wzgl. odniesienia</source>
        <translation>Change vs reference</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zmiana wzgl. poprzedniego [%]</source>
        <translation>Change vs previous [%]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zmiana wzgl. poprzedniego</source>
        <translation>Change vs previous</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Komentarz</source>
        <translation>Comment</translation>
    </message>
    <message>
        <location filename="../database/tdatabase.cpp" line="+320"/>
        <location filename="../archive/tarchive.cpp" line="+431"/>
        <source>OBIEKT</source>
        <translation>OBJECT</translation>
    </message>
    <message>
        <location line="+51"/>
        <location filename="../archive/tarchive.cpp" line="+25"/>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../archive/tarchive.cpp" line="+1"/>
        <source>DATA</source>
        <translation>DATE</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../archive/tarchive.cpp" line="+1"/>
        <source>WYNIK</source>
        <translation>RESULT</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../archive/tarchive.cpp" line="+1"/>
        <source>KOMENTARZ</source>
        <translation>COMMENT</translation>
    </message>
    <message>
        <location filename="../measurement/replacefile.cpp" line="+28"/>
        <source>Zapisano tylko %1 z %2 bajtów.</source>
        <translation>Only %1 of %2 bytes were written.</translation>
    </message>
    <message>
        <location filename="../database/tdatabase.cpp" line="+52"/>
        <source>Pomiar o numerze %1 występuje w bazie danych %2 razy. Komentarz nie został zapisany, aby nie nadpisać komentarzy innych pomiarów.</source>
        <translation>Measurement number %1 occurs %2 times in the database. The comment was not saved, so as not to overwrite the comments of other measurements.</translation>
    </message>
    <message>
        <location filename="../measurement/replacefile.cpp" line="+21"/>
        <location filename="../download/zymdownload.cpp" line="+41"/>
        <source>To jest folder, nie plik.</source>
        <translation>This is a folder, not a file.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../download/zymdownload.cpp" line="+1"/>
        <source>To nie jest zwykły plik.</source>
        <translation>This is not a regular file.</translation>
    </message>
    <message>
        <source>Niedozwolona nazwa pliku.</source>
        <translation type="vanished">File name not allowed.</translation>
    </message>
    <message>
        <location filename="../database/tdatabase.cpp" line="-120"/>
        <source>Tabela %1 jest w tym pliku widokiem, a nie tabelą pomiarów.</source>
        <translation>In this file, %1 is a view, not a table of measurements.</translation>
    </message>
    <message>
        <location filename="../archive/tarchive.cpp" line="-309"/>
        <source>Archiwum jest zajęte przez inny program (%1). Spróbuj ponownie później.</source>
        <translation>The archive is in use by another program (%1). Try again later.</translation>
    </message>
    <message>
        <source>Archiwum %1 jest tylko do odczytu; nic nie zostało w nim zapisane.</source>
        <translation>The archive %1 is read-only; nothing was written to it.</translation>
    </message>
    <message>
        <source>Archiwum jest uszkodzone: %1</source>
        <translation>The archive is damaged: %1</translation>
    </message>
    <message>
        <source>Sprawdzenie archiwum znalazło: %1</source>
        <translation>The archive check found: %1</translation>
    </message>
    <message>
        <source>Archiwum %1 jest tylko do odczytu, a zapisała je starsza wersja programu, więc nie można go uaktualnić.</source>
        <translation>The archive %1 is read-only and was written by an older version of the program, so it cannot be upgraded.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>brak pliku danych</source>
        <translation>no data file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>plik danych jest za krótki</source>
        <translation>the data file is too short</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>pliku danych nie można odczytać</source>
        <translation>the data file cannot be read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>plik danych leży poza folderem bazy</source>
        <translation>the data file lies outside the database&apos;s folder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>nieczytelny wiersz</source>
        <translation>unreadable row</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>konflikt z pomiarem w archiwum</source>
        <translation>conflict with a measurement in the archive</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>nieczytelna baza danych</source>
        <translation>unreadable database</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Nie można utworzyć folderu %1.</source>
        <translation>Cannot create folder %1.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+40"/>
        <source>%1 nie jest plikiem archiwum.</source>
        <translation>%1 is not an archive file.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Archiwum %1 zostało zapisane przez nowszą wersję programu (wersja archiwum %2, ten program zna wersję %3). Archiwum nie zostało zmienione.</source>
        <translation>Archive %1 was written by a newer version of the program (archive version %2, this program knows version %3). The archive was not changed.</translation>
    </message>
    <message>
        <location line="+155"/>
        <location line="+122"/>
        <source>Archiwum nie jest otwarte.</source>
        <translation>No archive is open.</translation>
    </message>
    <message>
        <location line="-81"/>
        <source>MIERNIK</source>
        <translation>METER</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Pomiar %1 nie ma w archiwum zapisu z pliku danych.</source>
        <translation>Measurement %1 has no record from its data file in the archive.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Zapis pomiaru %1 w archiwum jest uszkodzony (nie zgadza się jego suma SHA-256).</source>
        <translation>The archived record of measurement %1 is damaged (its SHA-256 sum does not match).</translation>
    </message>
    <message>
        <location line="+92"/>
        <source>Pomiaru %1 nie ma w archiwum.</source>
        <translation>Measurement %1 is not in the archive.</translation>
    </message>
    <message>
        <location filename="../archive/tarchive_import.cpp" line="+132"/>
        <source>brak tabeli %1</source>
        <translation>no table %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 nie jest tabelą</source>
        <translation>%1 is not a table</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>tabela obiekt bez kolumny obiekt_id lub Obiekt_nazwa</source>
        <translation>table obiekt without column obiekt_id or Obiekt_nazwa</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>tabela pomiar bez kolumny pomiar_id lub pomiar_obiekt_id</source>
        <translation>table pomiar without column pomiar_id or pomiar_obiekt_id</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>brak obiektu %1</source>
        <translation>no object %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>obiekt %1 występuje pod różnymi nazwami</source>
        <translation>object %1 appears under different names</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>to nie jest zwykły plik</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>brak pliku</source>
        <translation>no file</translation>
    </message>
    <message>
        <location line="+482"/>
        <source>archiwum (pomiar %1) / źródło: </source>
        <translation>archive (measurement %1) / source: </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>plik danych zmieniony od jego archiwizacji</source>
        <translation>data file changed since it was archived</translation>
    </message>
    <message>
        <location line="+183"/>
        <source>Nie można odczytać bazy danych %1: %2</source>
        <translation>Cannot read database %1: %2</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Folder %1 nie istnieje.</source>
        <translation>Folder %1 does not exist.</translation>
    </message>
    <message>
        <location filename="../database/tdatabase.cpp" line="-24"/>
        <source>Baza danych jest zajęta: inny program (na przykład miernik w trakcie zapisu) trzyma ją zablokowaną. Spróbuj ponownie za chwilę.</source>
        <translation>The database is busy: another program (for example the meter while it writes) holds it locked. Try again in a moment.</translation>
    </message>
    <message>
        <location filename="../verdict/ui/werdyktwindows.cpp" line="-33"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nie można otworzyć archiwum:
%1</source>
        <translation>Cannot open the archive:
%1</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Werdykt: %1 (zmieniony ręcznie: %2; automatyczny: %3)</source>
        <translation>Verdict: %1 (changed by hand: %2; automatic: %3)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Werdykt: %1</source>
        <translation>Verdict: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Werdykt: brak (bez limitów)</source>
        <translation>Verdict: none (no limits)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>, T = %1 °C</source>
        <translation>, T = %1 °C</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, R(%1 °C) = %2</source>
        <translation>, R(%1 °C) = %2</translation>
    </message>
    <message>
        <location filename="../verdict/verdict.cpp" line="+67"/>
        <source>Dobry</source>
        <translation>Pass</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do sprawdzenia</source>
        <translation>Investigate</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zły</source>
        <translation>Fail</translation>
    </message>
    <message>
        <location line="+204"/>
        <source>brak temperatury pomiaru: R bez korekcji</source>
        <translation>no measurement temperature: R uncorrected</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>zmiana liczona bez korekcji temperatury</source>
        <translation>change computed without temperature correction</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>brak odniesienia: zmiana nieoceniona</source>
        <translation>no reference: change not judged</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>grupa porównana bez korekcji temperatury</source>
        <translation>group compared without temperature correction</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>za mało pomiarów w grupie: odchylenie nieocenione</source>
        <translation>too few measurements in the group: deviation not judged</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>brak wartości R do oceny</source>
        <translation>no R value to judge</translation>
    </message>
    <message>
        <location filename="../verdict/verdictreport.cpp" line="-41"/>
        <source>R od %1 do %2</source>
        <translation>R from %1 to %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R od %1</source>
        <translation>R from %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R do %1</source>
        <translation>R up to %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>zmiana wzgl. odniesienia do %1 %: %2</source>
        <translation>change vs reference up to %1 %: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>odchylenie od średniej grupy do %1 %: %2</source>
        <translation>deviation from the group mean up to %1 %: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>odchylenie od najniższego w grupie do %1 %: %2</source>
        <translation>deviation from the group lowest up to %1 %: %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>brak (bez limitów)</source>
        <translation>none (no limits)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> (zmieniony ręcznie: %1; automatyczny: %2)</source>
        <translation> (changed by hand: %1; automatic: %2)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Werdykt</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Limity</source>
        <translation>Limits</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odniesienie</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 w %2 °C</source>
        <translation>%1 at %2 °C</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Temperatura</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 °C</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>nie podano</source>
        <translation>not given</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R w temperaturze odniesienia</source>
        <translation>R at the reference temperature</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 (%2 °C, K = %3)</source>
        <translation>%1 (%2 °C, K = %3)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>brak (bez temperatury)</source>
        <translation>none (no temperature)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Prąd pomiarowy</source>
        <translation>Test current</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 A</source>
        <translation>%1 A</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Uwagi</source>
        <translation>Notes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Miejsce pomiaru</source>
        <translation>Site</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wykonał</source>
        <translation>Measured by</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Podpis</source>
        <translation>Signature</translation>
    </message>
    <message>
        <location filename="../sync/tsync.cpp" line="+112"/>
        <source>Połączenie z serwerem %1 zostało przerwane (%2). Nic nie zostało utracone; następna synchronizacja zacznie od miejsca przerwania.</source>
        <translation>The connection to the server %1 was lost (%2). Nothing was lost; the next synchronization continues from where this one stopped.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nie można zapisać archiwum: %1</source>
        <translation>Cannot write the archive: %1</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Serwer zespołu nie jest ustawiony (ZYMReader.ini, sekcja [Serwer]: host, port, database, user).</source>
        <translation>No team server is set up (ZYMReader.ini, section [Serwer]: host, port, database, user).</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Brak sterownika %1 (pakiet libqt5sql5-psql).</source>
        <translation>The %1 driver is missing (package libqt5sql5-psql).</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Nie można połączyć się z serwerem %1: %2</source>
        <translation>Cannot connect to the server %1: %2</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Serwer %1 ma archiwum w nowszej wersji (%2) niż zna ten program (%3). Zaktualizuj program; na serwerze niczego nie zmieniono.</source>
        <translation>The server %1 holds an archive of a newer version (%2) than this program knows (%3). Update the program; nothing was changed on the server.</translation>
    </message>
    <message>
        <location line="+696"/>
        <source>Brak połączenia z serwerem.</source>
        <translation>Not connected to the server.</translation>
    </message>
    <message>
        <source>temperatura pomiaru nie wyższa od -K: R bez korekcji</source>
        <translation>measurement temperature not above -K: R uncorrected</translation>
    </message>
    <message>
        <source>baza danych jest zablokowana przez inny program</source>
        <translation>the database is locked by another program</translation>
    </message>
    <message>
        <source>baza danych jest zablokowana przez inny program (%1)</source>
        <translation>the database is locked by another program (%1)</translation>
    </message>
    <message>
        <source>pomiar jest już w archiwum (pomiar %1)</source>
        <translation>the measurement is archived already (measurement %1)</translation>
    </message>
    <message>
        <source>W folderze %1 nie ma bazy danych miernika (%2).</source>
        <translation>The folder %1 holds no meter database (%2).</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Serwer %1 odrzucił polecenie (%2): %3</source>
        <translation>The server %1 refused a statement (%2): %3</translation>
    </message>
    <message>
        <source>brak uprawnień</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>przekroczony czas polecenia</source>
        <translation>statement time-out</translation>
    </message>
    <message>
        <source>tabele zbyt długo zajęte przez inny komputer</source>
        <translation>the tables were held too long by another computer</translation>
    </message>
    <message>
        <source>serwer tylko do odczytu</source>
        <translation>the server is read-only</translation>
    </message>
    <message>
        <source>przekroczony limit serwera</source>
        <translation>a server limit was exceeded</translation>
    </message>
    <message>
        <source>brak miejsca lub pamięci na serwerze</source>
        <translation>the server is out of disk space or memory</translation>
    </message>
    <message>
        <source>naruszone ograniczenie danych</source>
        <translation>a data constraint was violated</translation>
    </message>
    <message>
        <source>nieprawidłowa wartość</source>
        <translation>invalid value</translation>
    </message>
    <message>
        <source>polecenie odrzucone (kod %1)</source>
        <translation>statement refused (code %1)</translation>
    </message>
    <message>
        <source>wartość komentarza nie jest obiektem JSON</source>
        <translation>the comment's value is not a JSON object</translation>
    </message>
    <message>
        <source>komentarz bez tekstu</source>
        <translation>a comment without a text</translation>
    </message>
    <message>
        <source>Serwer %1 nie odpowiadał przez %2 s; połączenie zostało zamknięte. Nic nie zostało utracone; następna synchronizacja zacznie od miejsca przerwania.</source>
        <translation>The server %1 did not answer for %2 s; the connection was closed. Nothing was lost; the next synchronization continues from where this one stopped.</translation>
    </message>
    <message>
        <source>pomiar %1 miernika %2, obiekt „%3”</source>
        <translation>measurement %1 of meter %2, object “%3”</translation>
    </message>
    <message>
        <source>wpis %1</source>
        <translation>entry %1</translation>
    </message>
    <message>
        <source>serwer, %1 nr %2: %3</source>
        <translation>server, %1 no. %2: %3</translation>
    </message>
    <message>
        <source>brak jego pomiaru w archiwum</source>
        <translation>its measurement is not in the archive</translation>
    </message>
    <message>
        <source>archiwum ma inny zapis tego pomiaru</source>
        <translation>the archive holds another record of this measurement</translation>
    </message>
    <message>
        <source>ten zapis należy w archiwum do innego pomiaru</source>
        <translation>in the archive this record belongs to another measurement</translation>
    </message>
    <message>
        <source>zapis uszkodzony (suma SHA-256 się nie zgadza)</source>
        <translation>the record is damaged (its SHA-256 does not match)</translation>
    </message>
    <message>
        <source>Nie wszystko przeszło; odrzucone pozycje: %1. Następna synchronizacja spróbuje ponownie.</source>
        <translation>Not everything went through; items refused: %1. The next synchronization tries them again.</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>Osiągnięcie limitu</source>
        <translation>Limit reached</translation>
    </message>
    <message>
        <source>Klient</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Lokalizacja</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Pole</source>
        <translation>Bay</translation>
    </message>
    <message>
        <source>Aparat</source>
        <translation>Apparatus</translation>
    </message>
    <message>
        <source>Punkt</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>Producent</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Numer fabryczny</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Rok produkcji</source>
        <translation>Year of manufacture</translation>
    </message>
    <message>
        <source>Prąd znamionowy</source>
        <translation>Rated current</translation>
    </message>
    <message>
        <source>Napięcie znamionowe</source>
        <translation>Rated voltage</translation>
    </message>
    <message>
        <source>Nazwa nie może być pusta.</source>
        <translation>The name cannot be empty.</translation>
    </message>
    <message>
        <source>Nie ma takiego miejsca nadrzędnego w rejestrze.</source>
        <translation>The register holds no such parent.</translation>
    </message>
    <message>
        <source>Miejsce nadrzędne musi leżeć wyżej (klient › lokalizacja › pole › aparat › punkt).</source>
        <translation>The parent must lie higher (customer › site › bay › apparatus › point).</translation>
    </message>
    <message>
        <source>Elementy podrzędne nie leżałyby już niżej.</source>
        <translation>Its children would no longer lie below it.</translation>
    </message>
    <message>
        <source>Zaległy</source>
        <translation>Overdue</translation>
    </message>
    <message>
        <source>Nigdy nie badany</source>
        <translation>Never tested</translation>
    </message>
    <message>
        <source>Do wykonania</source>
        <translation>Due</translation>
    </message>
    <message>
        <source>od %1</source>
        <translation>from %1</translation>
    </message>
    <message>
        <source>Identyfikator</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <source>Nadrzędny</source>
        <translation>Parent</translation>
    </message>
    <message>
        <source>Poziom</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Ścieżka</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>Nazwa</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Interwał [mies.]</source>
        <translation>Interval [months]</translation>
    </message>
    <message>
        <source>Interwał obowiązujący [mies.]</source>
        <translation>Interval in force [months]</translation>
    </message>
    <message>
        <source>Wycofany</source>
        <translation>Retired</translation>
    </message>
    <message>
        <source>Nazwy w mierniku</source>
        <translation>Names on the meter</translation>
    </message>
    <message>
        <source>Ostatni ważny pomiar</source>
        <translation>Last valid measurement</translation>
    </message>
    <message>
        <source>Termin</source>
        <translation>Due date</translation>
    </message>
    <message>
        <source>Stan</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Pomiary w trendzie</source>
        <translation>Measurements in the trend</translation>
    </message>
    <message>
        <source>W temperaturze odniesienia</source>
        <translation>At the reference temperature</translation>
    </message>
    <message>
        <source>R z trendu dziś [Ω]</source>
        <translation>R from the trend today [Ω]</translation>
    </message>
    <message>
        <source>Trend [Ω/rok]</source>
        <translation>Trend [Ω/year]</translation>
    </message>
    <message>
        <source>Niepewność trendu [Ω/rok]</source>
        <translation>Trend uncertainty [Ω/year]</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Limit [Ω]</source>
        <translation>Limit [Ω]</translation>
    </message>
    <message>
        <source>Osiągnie limit</source>
        <translation>Reaches the limit</translation>
    </message>
    <message>
        <source>Najwcześniej</source>
        <translation>Earliest</translation>
    </message>
    <message>
        <source>Najpóźniej</source>
        <translation>Latest</translation>
    </message>
    <message>
        <source>Już przekroczony</source>
        <translation>Already crossed</translation>
    </message>
    <message>
        <source>Brak limitu</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>Nie zmierza do limitu</source>
        <translation>Not heading for a limit</translation>
    </message>
    <message>
        <source>Zmierza do limitu</source>
        <translation>Heading for a limit</translation>
    </message>
    <message>
        <source>Za mało pomiarów</source>
        <translation>Too few measurements</translation>
    </message>
    <message>
        <source>maksimum pasma</source>
        <translation>band maximum</translation>
    </message>
    <message>
        <source>minimum pasma</source>
        <translation>band minimum</translation>
    </message>
    <message>
        <source>limit zmiany</source>
        <translation>change limit</translation>
    </message>
    <message>
        <source>treść wiersza nie zgadza się z jego sumą SHA-256</source>
        <translation>the row&apos;s content does not match its SHA-256</translation>
    </message>
    <message>
        <source>serwer ma inną treść tego pomiaru niż archiwum (zmienioną po zapisaniu?)</source>
        <translation>the server holds other content for this measurement than the archive (changed after it was written?)</translation>
    </message>
    <message>
        <source>serwer ma inną treść tego wpisu niż archiwum (zmienioną po zapisaniu?)</source>
        <translation>the server holds other content for this entry than the archive (changed after it was written?)</translation>
    </message>
    <message>
        <source>Do obserwacji</source>
        <translation>Watch list</translation>
    </message>
</context>
<context>
    <name>TChartTools</name>
    <message>
        <location filename="../chart/charttools.cpp" line="+362"/>
        <source>średnie U/I=%1</source>
        <translation>mean U/I=%1</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Usuń kursory</source>
        <translation>Remove Cursors</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pokaż  cały</source>
        <translation>Show Whole Chart</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zapisz wykres jako…</source>
        <translation>Save Chart As…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kopiuj wykres</source>
        <translation>Copy Chart</translation>
    </message>
    <message>
        <location line="+88"/>
        <source>Nie udało się utworzyć obrazu wykresu.</source>
        <translation>The chart image could not be created.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Wykres</source>
        <translation>Chart</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Obraz PNG (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zapisz wykres jako</source>
        <translation>Save Chart As</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dokument PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Uwaga!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nieznany format pliku:
%1

Wykres można zapisać jako obraz PNG (*.png) lub dokument PDF (*.pdf).</source>
        <translation>Unknown file format:
%1

The chart can be saved as a PNG image (*.png) or a PDF document (*.pdf).</translation>
    </message>
    <message>
        <source>Błąd!</source>
        <translation type="vanished">Error!</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku:
%1

%2</source>
        <translation type="vanished">Cannot write the file:
%1

%2</translation>
    </message>
</context>
<context>
    <name>TCli</name>
    <message>
        <location filename="../cli/cli.cpp" line="+44"/>
        <source>Pomoc: zymreader-cli --help</source>
        <translation>Help: zymreader-cli --help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc: zymreader-cli %1 --help</source>
        <translation>Help: zymreader-cli %1 --help</translation>
    </message>
    <message>
        <source>to nie jest zwykły plik</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>archiwum tylko do odczytu</source>
        <translation>read-only archive</translation>
    </message>
    <message>
        <source>archiwum jest tylko do odczytu; nic nie zostało zaimportowane</source>
        <translation>the archive is read-only; nothing was imported</translation>
    </message>
    <message>
        <source>archiwum jest tylko do odczytu; synchronizacja nie jest możliwa</source>
        <translation>the archive is read-only; it cannot be synchronised</translation>
    </message>
    <message>
        <source>nie można odczytać listy obiektów: %1</source>
        <translation>cannot read the list of objects: %1</translation>
    </message>
    <message>
        <location filename="../cli/cmd_export.cpp" line="+35"/>
        <source>Użycie: zymreader-cli export --format csv|csv-point|zym5|pdf --out KATALOG [OPCJE] ŹRÓDŁO...

Zapisuje pomiary tak, jak polecenie &quot;Zapisz pomiar jako&quot; programu ZYMReader,
pod nazwami, które proponuje jego okno zapisu (Pomiar_rrrr-MM-dd_gg-mm-ss).
ŹRÓDŁO to plik danych (*.zym5), baza danych miernika (zym_5.db), jej katalog
lub archiwum programu ZYMReader.

  --format F      csv (przecinek dziesiętny, jak miernik), csv-point (kropka
                  dziesiętna), zym5 (plik danych) lub pdf (raport pomiaru)
  --out KATALOG   katalog plików wynikowych (tworzony, gdy go brak)
  --force         zastępuje istniejące pliki (bez tej opcji nic nie jest nadpisywane)
  --object NAZWA  tylko pomiary obiektu NAZWA (bazy danych i archiwum)
  --id N          tylko pomiar o numerze N (w bazie miernika jego pomiar_id,
                  w archiwum numer archiwalny)
  --since DATA    tylko pomiary od DATA (rrrr-MM-dd [gg:mm[:ss]], czas lokalny)
  --until DATA    tylko pomiary do DATA włącznie

Kod wyjścia: 0 wszystko zapisano, 1 część pomiarów się nie udała
(każdy wymieniony z przyczyną), 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli export --format csv|csv-point|zym5|pdf --out DIR [OPTIONS] SOURCE...

Saves measurements as the &quot;Save Measurement As&quot; command of ZYMReader does,
under the names its save dialog proposes (Measurement_yyyy-MM-dd_hh-mm-ss).
SOURCE is a data file (*.zym5), a meter database (zym_5.db), its folder
or the ZYMReader archive.

  --format F      csv (decimal comma, as the meter), csv-point (decimal
                  point), zym5 (data file) or pdf (measurement report)
  --out DIR       folder of the files written (created when missing)
  --force         replaces existing files (without it nothing is overwritten)
  --object NAME   only the measurements of object NAME (databases and archive)
  --id N          only measurement number N (its pomiar_id in a meter database,
                  its archive number in the archive)
  --since DATE    only measurements from DATE on (yyyy-MM-dd [hh:mm[:ss]], local time)
  --until DATE    only measurements up to DATE inclusive

Exit status: 0 all saved, 1 some measurements failed
(each named with its reason), 2 wrong usage.
</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>ta sama nazwa pliku co %1 (%2), nie zapisano</source>
        <translation>same file name as %1 (%2), not saved</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>plik %1 już istnieje (--force go zastępuje)</source>
        <translation>file %1 already exists (--force replaces it)</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>nie można zapisać %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>nazwa pliku danych &quot;%1&quot; wychodzi poza katalog bazy</source>
        <translation>data file name &quot;%1&quot; leads outside the database&apos;s folder</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>plik danych %1: %2</source>
        <translation>data file %1: %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../cli/cmd_history.cpp" line="+70"/>
        <source>nie można otworzyć bazy danych: %1</source>
        <translation>cannot open the database: %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+95"/>
        <source>nie można odczytać listy pomiarów: %1</source>
        <translation>cannot read the list of measurements: %1</translation>
    </message>
    <message>
        <location line="-86"/>
        <location line="+102"/>
        <source>brak pomiaru %1 spełniającego warunki</source>
        <translation>no measurement %1 matching the selection</translation>
    </message>
    <message>
        <location line="-101"/>
        <location line="+102"/>
        <source>brak pomiarów obiektu &quot;%1&quot; spełniających warunki</source>
        <translation>no measurements of object &quot;%1&quot; matching the selection</translation>
    </message>
    <message>
        <location line="-99"/>
        <location line="+102"/>
        <source>%1: żaden pomiar nie spełnia warunków</source>
        <translation>%1: no measurement matches the selection</translation>
    </message>
    <message>
        <location line="-88"/>
        <source>numer pomiaru nie jest liczbą całkowitą</source>
        <translation>the measurement number is not a whole number</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>brak wiersza pomiaru</source>
        <translation>no row for this measurement</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>pomiar zarchiwizowany bez rekordu (pliku danych)</source>
        <translation>measurement archived without its record (data file)</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Brak opcji --format.</source>
        <translation>Option --format is missing.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nieznany format &quot;%1&quot;; dostępne: csv, csv-point, zym5, pdf.</source>
        <translation>Unknown format &quot;%1&quot;; available: csv, csv-point, zym5, pdf.</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../cli/cmd_history.cpp" line="+143"/>
        <source>Brak opcji --out.</source>
        <translation>Option --out is missing.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Brak źródła: podaj pliki danych lub bazę danych.</source>
        <translation>No source: give data files or a database.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>--id wymaga liczby całkowitej.</source>
        <translation>--id needs a whole number.</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+6"/>
        <source>Niepoprawna data &quot;%1&quot;.</source>
        <translation>Invalid date &quot;%1&quot;.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--object i --id wybierają pomiary z bazy danych, a %1 jest plikiem danych.</source>
        <translation>--object and --id select measurements of a database, and %1 is a data file.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nie można utworzyć katalogu %1.</source>
        <translation>Cannot create folder %1.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>katalog bez bazy danych zym_5.db</source>
        <translation>folder without a zym_5.db database</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>zapisano %1, nie udało się %2</source>
        <translation>%1 saved, %2 failed</translation>
    </message>
    <message>
        <location filename="../cli/cmd_fit.cpp" line="+19"/>
        <source>Użycie: zymreader-cli fit PLIK...

Dopasowuje U = R·I + L·dI/dt do całego impulsu prądu każdego pliku danych
(*.zym5), jak kalkulator i raport programu ZYMReader, i wypisuje jeden wiersz
JSON na plik:
  file, valid, R_ohm, sR_ohm (niepewność standardowa), L_uH, sL_uH,
  residual_V (RMS reszt), rows (użyte wiersze), first_row, last_row,
  kanalI, kanalU, reason (dlaczego dopasowanie jest niemożliwe, inaczej null).

Kod wyjścia: 0 wszystkie pliki odczytano, 1 część plików nie dała się odczytać
(wymienione z przyczyną; ich wiersz ma valid false), 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli fit FILE...

Fits U = R·I + L·dI/dt to the whole current pulse of each data file
(*.zym5), as the calculator and the report of ZYMReader do, and writes one
JSON line per file:
  file, valid, R_ohm, sR_ohm (standard uncertainty), L_uH, sL_uH,
  residual_V (RMS of the residuals), rows (rows used), first_row, last_row,
  kanalI, kanalU, reason (why no fit is possible, otherwise null).

Exit status: 0 all files read, 1 some files could not be read
(named with their reason; their line has valid false), 2 wrong usage.
</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Brak plików danych.</source>
        <translation>No data files.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>pomiar nie pozwala na dopasowanie (brak wyraźnego impulsu prądu, przesterowany przetwornik, nieużyteczne kanały lub za mało wierszy)</source>
        <translation>the measurement does not allow a fit (no clear current pulse, an overdriven converter, unusable channels or too few rows)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>nie udało się odczytać %1 z %2 plików</source>
        <translation>%1 of %2 files could not be read</translation>
    </message>
    <message>
        <location filename="../cli/cmd_history.cpp" line="-184"/>
        <source>Użycie: zymreader-cli history --object NAZWA [--format csv|csv-point|json] [ARCHIWUM|BAZA]

Wypisuje historię obiektu NAZWA z archiwum (domyślnie archiwum z ustawień)
lub z bazy danych miernika (zym_5.db lub jej katalog) tak, jak okno
&quot;Historia obiektu&quot;: pomiary w kolejności czasu, zmiany względem pierwszego
pomiaru z wartością (odniesienie) i względem poprzedniego. W bazie miernika
obiekty o tej samej nazwie dają jedną wspólną historię.

  --object NAZWA  obiekt
  --format F      csv (średniki, przecinek dziesiętny, jak zapis z okna historii;
                  domyślny), csv-point (przecinki, kropka dziesiętna) lub json
                  (jeden wiersz JSON na pomiar)

Kod wyjścia: 0 wypisano, 1 brak obiektu, bazy lub archiwum, 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli history --object NAME [--format csv|csv-point|json] [ARCHIVE|DATABASE]

Writes the history of object NAME from the archive (by default the archive of
the settings) or from a meter database (zym_5.db or its folder) as the
&quot;Object history&quot; window shows it: measurements in time order, changes against
the first measurement with a value (the reference) and against the previous
one. In a meter database, objects of the same name give one history.

  --object NAME   the object
  --format F      csv (semicolons, decimal comma, as the history window saves it;
                  the default), csv-point (commas, decimal point) or json
                  (one JSON line per measurement)

Exit status: 0 written, 1 no such object, database or archive, 2 wrong usage.
</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Użycie: zymreader-cli report --object NAZWA --out PLIK.pdf [--force] [ARCHIWUM|BAZA]

Zapisuje raport PDF obiektu NAZWA z archiwum (domyślnie archiwum z ustawień)
lub z bazy danych miernika (zym_5.db lub jej katalog), ten sam, który zapisuje
okno &quot;Historia obiektu&quot;: miernik, odniesienie, wykres historii, podsumowanie
i tabela pomiarów.

  --object NAZWA  obiekt
  --out PLIK      plik PDF
  --force         zastępuje istniejący plik

Kod wyjścia: 0 zapisano, 1 nie zapisano (przyczyna na standardowym wyjściu
błędów), 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli report --object NAME --out FILE.pdf [--force] [ARCHIVE|DATABASE]

Saves the PDF report of object NAME from the archive (by default the archive
of the settings) or from a meter database (zym_5.db or its folder), the one
the &quot;Object history&quot; window saves: meter, reference, history chart, summary
and the table of measurements.

  --object NAME   the object
  --out FILE      the PDF file
  --force         replaces an existing file

Exit status: 0 saved, 1 not saved (the reason on standard error),
2 wrong usage.
</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>nie można odczytać listy obiektów</source>
        <translation>cannot read the list of objects</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+47"/>
        <source>brak obiektu &quot;%1&quot;</source>
        <translation>no object &quot;%1&quot;</translation>
    </message>
    <message>
        <location line="-38"/>
        <location line="+43"/>
        <source>nie można odczytać historii obiektu: %1</source>
        <translation>cannot read the object&apos;s history: %1</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Nieznany format &quot;%1&quot;; dostępne: csv, csv-point, json.</source>
        <translation>Unknown format &quot;%1&quot;; available: csv, csv-point, json.</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+30"/>
        <source>Brak opcji --object.</source>
        <translation>Option --object is missing.</translation>
    </message>
    <message>
        <location line="-58"/>
        <source>to nie jest baza danych miernika</source>
        <translation>not a meter database</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+32"/>
        <source>Podaj najwyżej jedno archiwum lub jedną bazę danych.</source>
        <translation>Give at most one archive or one database.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>plik już istnieje (--force go zastępuje)</source>
        <translation>the file already exists (--force replaces it)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>nie można zapisać raportu: %1</source>
        <translation>cannot write the report: %1</translation>
    </message>
    <message>
        <location filename="../cli/main.cpp" line="+94"/>
        <source>Nieznany język &quot;%1&quot;; dostępne: pl, en.</source>
        <translation>Unknown language &quot;%1&quot;; available: pl, en.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Nie można wczytać tłumaczenia %1.</source>
        <translation>Cannot load the translation %1.</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Brak polecenia.</source>
        <translation>No command.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Nieznane polecenie &quot;%1&quot;.</source>
        <translation>Unknown command &quot;%1&quot;.</translation>
    </message>
    <message>
        <location filename="../cli/cmd_archive.cpp" line="+17"/>
        <source>Użycie: zymreader-cli import [--archive ARCHIWUM] ŹRÓDŁO...

Wczytuje do archiwum programu ZYMReader bazy danych miernika (zym_5.db
z plikami danych obok) lub katalogi, w których ich szuka (z podkatalogami).
Baza miernika nie jest zmieniana. Na standardowe wyjście trafia jeden wiersz
JSON na źródło: source, new, archived, conflicts, refused, without_record.

  --archive PLIK  archiwum (domyślnie [Archiwum] Path z ZYMReader.ini,
                  inaczej DATA/archiwum.db w katalogu programu)

Kod wyjścia: 0 wszystko wczytano, 1 część pomiarów lub źródeł się nie udała
(każdy wymieniony z przyczyną), 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli import [--archive ARCHIVE] SOURCE...

Reads meter databases (zym_5.db with its data files beside it) or folders,
searched for them (subfolders included), into the ZYMReader archive. The
meter database is not changed. Standard output gets one JSON line per
source: source, new, archived, conflicts, refused, without_record.

  --archive FILE  the archive (by default [Archiwum] Path of ZYMReader.ini,
                  otherwise DATA/archiwum.db in the program&apos;s folder)

Exit status: 0 all read, 1 some measurements or sources failed
(each named with its reason), 2 wrong usage.
</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Użycie: zymreader-cli check [ARCHIWUM]

Sprawdza spójność pliku archiwum i sumę SHA-256 każdego zapisanego rekordu.
Na standardowe wyjście trafia jeden wiersz JSON: archive, records, damaged,
integrity, read_only, ok. ARCHIWUM domyślnie jak w poleceniu import.

Kod wyjścia: 0 archiwum jest w porządku, 1 znaleziono uszkodzenia (każde
wymienione) lub archiwum nie daje się otworzyć, 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli check [ARCHIVE]

Checks the integrity of the archive file and the SHA-256 sum of every stored
record. Standard output gets one JSON line: archive, records, damaged,
integrity, read_only, ok. ARCHIVE by default as for the import command.

Exit status: 0 the archive is sound, 1 damage was found (each named) or the
archive cannot be opened, 2 wrong usage.
</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Brak źródła: podaj bazy danych miernika lub katalogi.</source>
        <translation>No source: give meter databases or folders.</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+61"/>
        <location filename="../cli/cmd_history.cpp" line="-109"/>
        <location filename="../cli/cmd_sync.cpp" line="+76"/>
        <source>to nie jest archiwum programu ZYMReader</source>
        <translation>not a ZYMReader archive</translation>
    </message>
    <message>
        <location line="-55"/>
        <location line="+61"/>
        <location filename="../cli/cmd_export.cpp" line="-213"/>
        <location filename="../cli/cmd_history.cpp" line="+5"/>
        <source>nie można otworzyć archiwum: %1</source>
        <translation>cannot open the archive: %1</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>to nie jest baza danych miernika ani katalog</source>
        <translation>neither a meter database nor a folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>brak takiego pliku ani katalogu</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Podaj najwyżej jedno archiwum.</source>
        <translation>Give at most one archive.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>brak takiego pliku</source>
        <translation>no such file</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>nie można sprawdzić archiwum: %1</source>
        <translation>cannot check the archive: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../cli/cmd_export.cpp" line="+59"/>
        <source>rekord nie zgadza się ze swoją sumą kontrolną</source>
        <translation>the record does not match its checksum</translation>
    </message>
    <message>
        <location filename="../cli/cmd_export.cpp" line="-94"/>
        <source>numer pomiaru ma w bazie więcej niż jeden wiersz</source>
        <translation>the measurement number has more than one row in the database</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Polecenie sync nie przyjmuje argumentów.</source>
        <translation>The sync command takes no arguments.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Nieprawidłowy port &quot;%1&quot;.</source>
        <translation>Invalid port &quot;%1&quot;.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Nieznany sterownik &quot;%1&quot;.</source>
        <translation>Unknown driver &quot;%1&quot;.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>wysyłanie</source>
        <translation>sending</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>pobieranie</source>
        <translation>fetching</translation>
    </message>
    <message>
        <location filename="../cli/main.cpp" line="-87"/>
        <source>zymreader-cli: pomiary miernika ZYM-5 z wiersza poleceń.

Użycie: zymreader-cli [--lang pl|en] POLECENIE [OPCJE] [ARGUMENTY]

Polecenia:
  export   zapisuje pomiary jako CSV, CSV z kropką, pliki ZYM lub raporty PDF
  fit      dopasowuje R i L do pomiarów z plików danych (JSON, wiersz na pomiar)
  history  historia obiektu z archiwum lub bazy danych (CSV, CSV z kropką, JSON)
  report   raport PDF obiektu z archiwum lub bazy danych
  import   wczytuje bazy danych miernika (lub katalogi z nimi) do archiwum
  check    sprawdza archiwum: spójność pliku i sumę kontrolną każdego rekordu
  sync     synchronizuje archiwum z serwerem zespołu
  visit    wizyty w archiwum i ich protokoły (PDF, XLSX, CSV)
  assets   rejestr obiektów: drzewo, terminy badań, obiekty do obserwacji (CSV, JSON)

  --version    wersja programu
  --help       ta pomoc; zymreader-cli POLECENIE --help opisuje polecenie
  --lang L     język komunikatów: pl lub en (domyślnie z ustawień ZYMReader.ini)

Na standardowe wyjście trafiają tylko dane, komunikaty na standardowe wyjście błędów.
Kod wyjścia: 0 wszystko wykonano, 1 część pozycji się nie udała, 2 błędne wywołanie.
</source>
        <translation>zymreader-cli: ZYM-5 meter measurements from the command line.

Usage: zymreader-cli [--lang pl|en] COMMAND [OPTIONS] [ARGUMENTS]

Commands:
  export   saves measurements as CSV, decimal-point CSV, ZYM files or PDF reports
  fit      fits R and L to the measurements of data files (JSON, a line each)
  history  the history of an object from the archive or a database (CSV, decimal-point CSV, JSON)
  report   the PDF report of an object from the archive or a database
  import   reads meter databases (or folders holding them) into the archive
  check    checks the archive: the file&apos;s integrity and every record&apos;s checksum
  sync     synchronizes the archive with the team server
  visit    the archive's site visits and their protocols (PDF, XLSX, CSV)
  assets   the asset register: tree, test due dates, points to watch (CSV, JSON)

  --version    the program&apos;s version
  --help       this help; zymreader-cli COMMAND --help describes a command
  --lang L     language of the messages: pl or en (by default from ZYMReader.ini)

Standard output carries only data, messages go to standard error.
Exit status: 0 all done, 1 some items failed, 2 wrong usage.
</translation>
    </message>
    <message>
        <source>%1 uwag, wymienione pierwsze %2 (wszystkie są w dzienniku importów): %3</source>
        <translation>%1 notes, the first %2 listed (all are in the import log): %3</translation>
    </message>
    <message>
        <source>Podaj list, show lub protocol.</source>
        <translation>Give list, show or protocol.</translation>
    </message>
    <message>
        <source>Brak numeru wizyty.</source>
        <translation>No visit number.</translation>
    </message>
    <message>
        <source>Nieznany format &quot;%1&quot;; dostępne: pdf, xlsx, csv.</source>
        <translation>Unknown format &quot;%1&quot;; available: pdf, xlsx, csv.</translation>
    </message>
    <message>
        <source>Rewizja to liczba od 0.</source>
        <translation>A revision is a number from 0.</translation>
    </message>
    <message>
        <source>brak wizyty o tym numerze</source>
        <translation>no visit with this number</translation>
    </message>
    <message>
        <source>nie można zapisać protokołu: %1</source>
        <translation>cannot write the protocol: %1</translation>
    </message>
    <message>
        <source>Podaj jedno z: tree, due, watch.</source>
        <translation>Give one of: tree, due, watch.</translation>
    </message>
    <message>
        <source>Błędna data &quot;%1&quot;.</source>
        <translation>Wrong date &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Błędny miesiąc &quot;%1&quot;.</source>
        <translation>Wrong month &quot;%1&quot;.</translation>
    </message>
    <message>
        <location filename="../cli/cmd_sync.cpp" line="-59"/>
        <source>Użycie: zymreader-cli sync [--archive ARCHIWUM] [OPCJE SERWERA]

Wysyła na serwer zespołu (PostgreSQL) pomiary i wpisy, których serwer nie ma,
potem pobiera do archiwum te, których nie ma archiwum. Nic nie jest zmieniane
ani usuwane; powtórzona synchronizacja niczego nie zmienia. Na standardowe
wyjście trafia jeden wiersz JSON z liczbami wysłanych i pobranych pozycji.

  --archive PLIK   archiwum (domyślnie jak w poleceniu import)
  --status         zamiast synchronizacji: po jednym wierszu JSON na osobę (rola
                   na serwerze) i komputer: ile czego wysłał i kiedy ostatnio
  --host H, --port P, --database D, --user U, --sslmode M
                   serwer (domyślnie [Serwer] z ZYMReader.ini); hasło z ZYMReader.ini,
                   z pliku .pgpass lub ze zmiennej PGPASSWORD

Kod wyjścia: 0 zsynchronizowano, 1 synchronizacja się nie udała albo któraś
pozycja została odrzucona (przyczyny na standardowym wyjściu błędów; odrzucone
pozycje próbuje ponownie następna synchronizacja), 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli sync [--archive ARCHIVE] [SERVER OPTIONS]

Sends to the team server (PostgreSQL) the measurements and entries it lacks,
then fetches into the archive those the archive lacks. Nothing is changed
or deleted; a repeated synchronization changes nothing. Standard output
gets one JSON line with the numbers of items sent and fetched.

  --archive FILE   the archive (by default as for the import command)
  --status         instead of a synchronization: one JSON line per person (role
                   on the server) and computer: how much of what it sent and when last
  --host H, --port P, --database D, --user U, --sslmode M
                   the server (by default [Serwer] of ZYMReader.ini); the password from ZYMReader.ini,
                   a .pgpass file or the PGPASSWORD variable

Exit status: 0 synchronized, 1 the synchronization failed or an item was
refused (the reasons on standard error; the next synchronization tries refused
items again), 2 wrong usage.
</translation>
    </message>
    <message>
        <source>Nieznany format &quot;%1&quot;: csv, json lub xlsx.</source>
        <translation>Unknown format &quot;%1&quot;: csv, json or xlsx.</translation>
    </message>
    <message>
        <source>Format xlsx jest dla list due i watch.</source>
        <translation>The xlsx format is for the due and watch lists.</translation>
    </message>
    <message>
        <source>Użycie: zymreader-cli assets [OPCJE] tree|due|watch

Rejestr obiektów z archiwum programu ZYMReader:
  tree   drzewo: klienci, lokalizacje, pola, aparaty i punkty pomiarowe
         z nazwami w mierniku, które są do nich przypisane
  due    punkty do zbadania w danym miesiącu i zaległe, według lokalizacji
  watch  trend rezystancji każdego punktu i dzień, w którym osiągnie limit

  --archive PLIK     archiwum (domyślnie jak w poleceniu import)
  --format csv|json|xlsx  CSV (przecinek, kropka dziesiętna), wiersze JSON lub skoroszyt
                     XLSX (due i watch, jak zapisuje okno rejestru); domyślnie csv
  --month RRRR-MM    miesiąc listy due (domyślnie bieżący)
  --today RRRR-MM-DD dzień, od którego termin jest zaległy (domyślnie dziś)
  --site NAZWA       tylko ta lokalizacja (due i watch; nazwa lub identyfikator)

Kod wyjścia: 0 wykonano, 1 archiwum nie daje się odczytać, 2 błędne wywołanie.
</source>
        <translation>Usage: zymreader-cli assets [OPTIONS] tree|due|watch

The asset register of the ZYMReader archive:
  tree   the tree: customers, sites, bays, apparatus and measured points
         with the meter names mapped to them
  due    the points to test in a month and the overdue ones, by site
  watch  each point&apos;s resistance trend and the day it reaches its limit

  --archive FILE     the archive (by default as for the import command)
  --format csv|json|xlsx  CSV (comma, decimal point), JSON lines or an XLSX
                     workbook (due and watch, as the register&apos;s window saves it); csv by default
  --month YYYY-MM    the month of the due list (by default this one)
  --today YYYY-MM-DD the day from which a test is overdue (by default today)
  --site NAME        only this site (due and watch; its name or identifier)

Exit status: 0 done, 1 the archive cannot be read, 2 wrong usage.
</translation>
    </message>
    <message>
        <source>Użycie: zymreader-cli visit list [ARCHIWUM]
        zymreader-cli visit show NUMER [ARCHIWUM]
        zymreader-cli visit protocol NUMER --format pdf|xlsx|csv [--rev N] [--charts] [--out PLIK [--force]] [ARCHIWUM]

list      wizyty archiwum, wiersz JSON na wizytę; numer_zajety: ten sam numer nadano
          wcześniej innej wizycie (osobno przed synchronizacją), ta musi dostać inny
show      jedna wizyta (JSON): dane, plan, co zmierzono, czego brak, co dwukrotnie
protocol  protokół wizyty, bajt w bajt taki jak z okna; zatwierdzona rewizja
          tak, jak ją zatwierdzono. Bez --out na standardowe wyjście.
  --rev N   rewizja (domyślnie bieżąca)
  --charts  PDF projektu z załącznikiem wykresów (zatwierdzony ma ten, z którym go zatwierdzono)

ARCHIWUM domyślnie jak w poleceniu import.
</source>
        <translation>Usage: zymreader-cli visit list [ARCHIVE]
       zymreader-cli visit show NUMBER [ARCHIVE]
       zymreader-cli visit protocol NUMBER --format pdf|xlsx|csv [--rev N] [--charts] [--out FILE [--force]] [ARCHIVE]

list      the archive&apos;s visits, one JSON line per visit; numer_zajety: the same number was
          given earlier to another visit (apart, before a sync), this one must get another
show      one visit (JSON): its data, plan, what was measured, what is missing, what twice
protocol  the visit&apos;s protocol, byte for byte as the window writes it; an approved
          revision as it was approved. Without --out to standard output.
  --rev N   revision (default: the current one)
  --charts  a draft&apos;s PDF with the appendix of charts (an approved one has what it was approved with)

ARCHIVE defaults as in the import command.
</translation>
    </message>
    <message>
        <source>Wizyta %1 (%2): ten numer nadano wcześniej innej wizycie; nadaj jej inny numer.</source>
        <translation>Visit %1 (%2): this number was given to another visit earlier; give this one another number.</translation>
    </message>
</context>
<context>
    <name>TFitTexts</name>
    <message>
        <source>brak kanałów prądu i napięcia</source>
        <translation>no current and voltage channels</translation>
    </message>
    <message>
        <source>brak impulsu prądu</source>
        <translation>no current pulse</translation>
    </message>
    <message>
        <source>impuls za krótki</source>
        <translation>pulse too short</translation>
    </message>
    <message>
        <source>przesterowanie lub przełączenia</source>
        <translation>clipped or switched</translation>
    </message>
    <message>
        <source>pomiar nie wyznacza R i L</source>
        <translation>the measurement does not determine R and L</translation>
    </message>
    <message>
        <source>R (dopasowanie): </source>
        <translation>R (fit): </translation>
    </message>
    <message>
        <source>brak</source>
        <translation>none</translation>
    </message>
    <message>
        <source>L: brak (%1)</source>
        <translation>L: none (%1)</translation>
    </message>
</context>
<context>
    <name>TFitControl</name>
    <message>
        <source>Model dopasowania R, L (linia przerywana)</source>
        <translation>R, L fit model (dashed line)</translation>
    </message>
    <message>
        <source>R i L dopasowane do całego impulsu; niepewność standardowa (1σ)</source>
        <translation>R and L fitted to the whole pulse; standard uncertainty (1σ)</translation>
    </message>
</context>
<context>
    <name>TReportDoc</name>
    <message>
        <location filename="../report/ui/reportdoc.cpp" line="+610"/>
        <source>Nie udało się utworzyć dokumentu PDF.</source>
        <translation>The PDF document could not be made.</translation>
    </message>
</context>
<context>
    <name>TReportTexts</name>
    <message>
        <location filename="../report/reporttext.cpp" line="+31"/>
        <source>Protokół pomiaru rezystancji</source>
        <translation>Resistance measurement report</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Historia pomiarów obiektu</source>
        <translation>Measurement history of the object</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Data sporządzenia: %1</source>
        <translation>Report made: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>nr %1, sprzęt %2, oprogramowanie %3</source>
        <translation>serial %1, hardware %2, firmware %3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>poza zakresem – miernik nie podał wyniku</source>
        <translation>out of range – the meter gave no result</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>poprawny</source>
        <translation>valid</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+23"/>
        <source>Miernik ZYM-5</source>
        <translation>ZYM-5 meter</translation>
    </message>
    <message>
        <location line="-22"/>
        <location line="+21"/>
        <source>Obiekt</source>
        <translation>Object</translation>
    </message>
    <message>
        <location line="-20"/>
        <source>Czas pomiaru</source>
        <translation>Measured</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Metoda</source>
        <translation>Method</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik danych</source>
        <translation>Data file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wynik</source>
        <translation>Result</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>R (dopasowanie)</source>
        <translation>R (fit)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>L (dopasowanie)</source>
        <translation>L (fit)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Odniesienie</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Liczba pomiarów</source>
        <translation>Number of measurements</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pierwszy pomiar</source>
        <translation>First measurement</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ostatni pomiar</source>
        <translation>Last measurement</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ostatnia zmiana względem odniesienia</source>
        <translation>Latest change against the reference</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Komentarz</source>
        <translation>Comment</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Przebieg prądu i napięcia</source>
        <translation>Current and voltage waveforms</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Rezystancja w kolejnych pomiarach</source>
        <translation>Resistance over the measurements</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pomiary</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>strona %1 z %2</source>
        <translation>page %1 of %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zapisz raport PDF…</source>
        <translation>Save PDF Report…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Drukuj…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zapisz raport PDF</source>
        <translation>Save PDF Report</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Raport PDF (*.pdf)</source>
        <translation>PDF report (*.pdf)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Historia_</source>
        <translation>History_</translation>
    </message>
    <message>
        <source>Błąd!</source>
        <translation type="vanished">Error</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku:
%1

%2</source>
        <translation type="vanished">Cannot save the file:
%1

%2</translation>
    </message>
    <message>
        <location filename="../report/ui/reports.cpp" line="+63"/>
        <source>Ocena</source>
        <translation>Assessment</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Obiekt nie ma zapisanych pomiarów.</source>
        <translation>The object has no stored measurements.</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Tworzenie raportu PDF…</source>
        <translation>Making the PDF report…</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Przygotowanie wydruku…</source>
        <translation>Preparing the printout…</translation>
    </message>
</context>
<context>
    <name>TSaveDialog</name>
    <message>
        <location filename="../measurement/ui/savedialog.cpp" line="+49"/>
        <source>Błąd!</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie można zapisać pliku:
%1

%2</source>
        <translation>Cannot save the file:
%1

%2</translation>
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
<context>
    <name>TProtokol</name>
    <message>
        <source>%1 (świadectwo kwalifikacyjne nr %2)</source>
        <translation>%1 (qualification certificate no. %2)</translation>
    </message>
    <message>
        <source>%1 rev. %2</source>
        <translation>%1 rev. %2</translation>
    </message>
    <message>
        <source>Protokół z pomiarów nr %1</source>
        <translation>Measurement protocol no. %1</translation>
    </message>
    <message>
        <source>mikroomomierz ZYM-5 nr %1, świadectwo wzorcowania: brak</source>
        <translation>ZYM-5 micro-ohmmeter no. %1, calibration certificate: none</translation>
    </message>
    <message>
        <source>Nie podano świadectwa wzorcowania miernika nr %1.</source>
        <translation>No calibration certificate was given for meter no. %1.</translation>
    </message>
    <message>
        <source>mikroomomierz ZYM-5 nr %1, świadectwo wzorcowania nr %2 ważne do %3</source>
        <translation>ZYM-5 micro-ohmmeter no. %1, calibration certificate no. %2 valid until %3</translation>
    </message>
    <message>
        <source>Świadectwo wzorcowania miernika nr %1 było nieważne w dniu pomiarów (ważne do %2).</source>
        <translation>The calibration certificate of meter no. %1 had expired on the day of the measurements (valid until %2).</translation>
    </message>
    <message>
        <source>Numer protokołu</source>
        <translation>Protocol number</translation>
    </message>
    <message>
        <source>Zleceniodawca</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Miejsce pomiarów</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Data pomiarów</source>
        <translation>Date of measurements</translation>
    </message>
    <message>
        <source>Pomiary wykonali</source>
        <translation>Measured by</translation>
    </message>
    <message>
        <source>Przyrząd</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Temperatura otoczenia</source>
        <translation>Ambient temperature</translation>
    </message>
    <message>
        <source>Warunki pomiarów</source>
        <translation>Conditions</translation>
    </message>
    <message>
        <source>Kryteria oceny</source>
        <translation>Assessment criteria</translation>
    </message>
    <message>
        <source>granice dopuszczalne każdego obiektu, obowiązujące w dniu sporządzenia protokołu (kolumna „Kryterium”); rezystancja sprowadzona do temperatury odniesienia</source>
        <translation>each object&apos;s limits in force on the day the protocol was drawn up (column “Criterion”); resistance brought to the reference temperature</translation>
    </message>
    <message>
        <source>Lp.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Obiekt</source>
        <translation>Object</translation>
    </message>
    <message>
        <source>Data
pomiaru</source>
        <translation>Date
measured</translation>
    </message>
    <message>
        <source>R zmierzona
prąd, temp.</source>
        <translation>R measured
current, temp.</translation>
    </message>
    <message>
        <source>R w temp.
odniesienia</source>
        <translation>R at ref.
temperature</translation>
    </message>
    <message>
        <source>Kryterium</source>
        <translation>Criterion</translation>
    </message>
    <message>
        <source>Ocena</source>
        <translation>Assessment</translation>
    </message>
    <message>
        <source>Uwagi</source>
        <translation>Remarks</translation>
    </message>
    <message>
        <source>nie zmierzono</source>
        <translation>not measured</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>ocena zmieniona: %1</source>
        <translation>assessment changed: %1</translation>
    </message>
    <message>
        <source>zastąpiony pomiarem powtórzonym</source>
        <translation>superseded by a repeat</translation>
    </message>
    <message>
        <source>Obiektów w planie</source>
        <translation>Objects planned</translation>
    </message>
    <message>
        <source>Obiektów zmierzonych</source>
        <translation>Objects measured</translation>
    </message>
    <message>
        <source>Bez oceny</source>
        <translation>Not assessed</translation>
    </message>
    <message>
        <source>Nie zmierzono</source>
        <translation>Not measured</translation>
    </message>
    <message>
        <source>Zmierzone więcej niż raz</source>
        <translation>Measured more than once</translation>
    </message>
    <message>
        <source>Wykonał(a)</source>
        <translation>Performed by</translation>
    </message>
    <message>
        <source>Sprawdził(a)</source>
        <translation>Checked by</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Data pomiaru</source>
        <translation>Date measured</translation>
    </message>
    <message>
        <source>R [Ω]</source>
        <translation>R [Ω]</translation>
    </message>
    <message>
        <source>I [A]</source>
        <translation>I [A]</translation>
    </message>
    <message>
        <source>T [°C]</source>
        <translation>T [°C]</translation>
    </message>
    <message>
        <source>R w temp. odn. [Ω]</source>
        <translation>R at ref. temp. [Ω]</translation>
    </message>
    <message>
        <source>Temp. odn. [°C]</source>
        <translation>Ref. temp. [°C]</translation>
    </message>
    <message>
        <source>Protokół</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Uwaga</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Podsumowanie</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>Protokół nr %1</source>
        <translation>Protocol no. %1</translation>
    </message>
    <message>
        <source>Pomiary rezystancji zestyków i połączeń mikroomomierzem</source>
        <translation>Contact and joint resistance measured with a micro-ohmmeter</translation>
    </message>
    <message>
        <source>Wyniki pomiarów</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>Podpisy</source>
        <translation>Signatures</translation>
    </message>
    <message>
        <source>Nie ma takiej rewizji protokołu.</source>
        <translation>There is no such revision of the protocol.</translation>
    </message>
    <message>
        <source>Zatwierdzony protokół jest uszkodzony: jego PDF nie zgadza się z sumą SHA-256.</source>
        <translation>The approved protocol is damaged: its PDF does not match its SHA-256.</translation>
    </message>
    <message>
        <source>Nie udało się utworzyć dokumentu PDF.</source>
        <translation>The PDF document could not be made.</translation>
    </message>
    <message>
        <source>Załącznik: przebiegi pomiarów</source>
        <translation>Appendix: the measurements&apos; waveforms</translation>
    </message>
    <message>
        <source>%1. %2, %3: R = %4</source>
        <translation>%1. %2, %3: R = %4</translation>
    </message>
    <message>
        <source>Brak zapisu przebiegu tego pomiaru w archiwum.</source>
        <translation>The archive holds no waveform record of this measurement.</translation>
    </message>
</context>
<context>
    <name>TWizyta</name>
    <message>
        <source>Inna wizyta ma już ten numer.</source>
        <translation>Another visit already has this number.</translation>
    </message>
    <message>
        <source>Wizyta musi mieć numer.</source>
        <translation>A visit needs a number.</translation>
    </message>
    <message>
        <source>Ta rewizja protokołu jest już zatwierdzona.</source>
        <translation>This revision of the protocol is approved already.</translation>
    </message>
    <message>
        <source>Nie ma takiej wizyty.</source>
        <translation>There is no such visit.</translation>
    </message>
</context>
<context>
    <name>TXlsxBook</name>
    <message>
        <source>Nie udało się utworzyć skoroszytu XLSX: %1</source>
        <translation>The XLSX workbook could not be made: %1</translation>
    </message>
    <message>
        <source>Ten program zbudowano bez zapisu skoroszytów XLSX.</source>
        <translation>This program was built without XLSX workbooks.</translation>
    </message>
</context>
<context>
    <name>TWizytaWindow</name>
    <message>
        <source>Nie można otworzyć archiwum: %1</source>
        <translation>The archive cannot be opened: %1</translation>
    </message>
    <message>
        <source>Wizyty i protokoły</source>
        <translation>Site visits and protocols</translation>
    </message>
    <message>
        <source>Nowa wizyta</source>
        <translation>New visit</translation>
    </message>
    <message>
        <source>Numer:</source>
        <translation>Number:</translation>
    </message>
    <message>
        <source>Zleceniodawca:</source>
        <translation>Customer:</translation>
    </message>
    <message>
        <source>Miejsce:</source>
        <translation>Site:</translation>
    </message>
    <message>
        <source>Od:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>Do:</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>Wykonali:</source>
        <translation>Measured by:</translation>
    </message>
    <message>
        <source>Sprawdził:</source>
        <translation>Checked by:</translation>
    </message>
    <message>
        <source>Jego świadectwo kwalifikacyjne:</source>
        <translation>Their qualification certificate:</translation>
    </message>
    <message>
        <source>Temperatura otoczenia [°C]:</source>
        <translation>Ambient temperature [°C]:</translation>
    </message>
    <message>
        <source>Warunki:</source>
        <translation>Conditions:</translation>
    </message>
    <message>
        <source>Uwagi do protokołu:</source>
        <translation>Remarks for the protocol:</translation>
    </message>
    <message>
        <source>Imię i nazwisko; nr świadectwa kwalifikacyjnego (jedna osoba w wierszu)</source>
        <translation>Name; qualification certificate no. (one person per line)</translation>
    </message>
    <message>
        <source>Obiekt</source>
        <translation>Object</translation>
    </message>
    <message>
        <source>Pomiary</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>Stan</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Ocena</source>
        <translation>Assessment</translation>
    </message>
    <message>
        <source>Dodaj obiekty…</source>
        <translation>Add objects…</translation>
    </message>
    <message>
        <source>Usuń z planu</source>
        <translation>Remove from plan</translation>
    </message>
    <message>
        <source>Wybierz pomiary…</source>
        <translation>Choose measurements…</translation>
    </message>
    <message>
        <source>Świadectwo wzorcowania…</source>
        <translation>Calibration certificate…</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Protokół PDF…</source>
        <translation>Protocol PDF…</translation>
    </message>
    <message>
        <source>Tabela XLSX…</source>
        <translation>Table XLSX…</translation>
    </message>
    <message>
        <source>Tabela CSV…</source>
        <translation>Table CSV…</translation>
    </message>
    <message>
        <source>Zatwierdź</source>
        <translation>Approve</translation>
    </message>
    <message>
        <source>Nowa rewizja</source>
        <translation>New revision</translation>
    </message>
    <message>
        <source> (rev. %1 zatwierdzona)</source>
        <translation> (rev. %1 approved)</translation>
    </message>
    <message>
        <source> (rev. %1 w przygotowaniu)</source>
        <translation> (rev. %1 in preparation)</translation>
    </message>
    <message>
        <source> — numer powtórzony!</source>
        <translation> — number used twice!</translation>
    </message>
    <message>
        <source>Nowa wizyta (jeszcze nie zapisana).</source>
        <translation>New visit (not saved yet).</translation>
    </message>
    <message>
        <source>Protokół rev. %1 zatwierdzony: nie można go zmienić. Zmiany po „Nowa rewizja” tworzą rev. %2.</source>
        <translation>Protocol rev. %1 approved: it cannot be changed. Changes after “New revision” make rev. %2.</translation>
    </message>
    <message>
        <source>Projekt protokołu rev. %1.</source>
        <translation>Draft of protocol rev. %1.</translation>
    </message>
    <message>
        <source>Inna wizyta ma ten sam numer (zapisany osobno przed synchronizacją).</source>
        <translation>Another visit has the same number (saved apart before a sync).</translation>
    </message>
    <message>
        <source>brak pomiaru</source>
        <translation>no measurement</translation>
    </message>
    <message>
        <source>zmierzony %1 razy</source>
        <translation>measured %1 times</translation>
    </message>
    <message>
        <source>zmierzony</source>
        <translation>measured</translation>
    </message>
    <message>
        <source> (wybrane ręcznie)</source>
        <translation> (chosen by hand)</translation>
    </message>
    <message>
        <source>ZYM-5 nr %1: świadectwo wzorcowania %2, ważne do %3</source>
        <translation>ZYM-5 no. %1: calibration certificate %2, valid until %3</translation>
    </message>
    <message>
        <source>ZYM-5 nr %1: brak świadectwa wzorcowania</source>
        <translation>ZYM-5 no. %1: no calibration certificate</translation>
    </message>
    <message>
        <source> — NIEWAŻNE w dniu wizyty!</source>
        <translation> — EXPIRED on the day of the visit!</translation>
    </message>
    <message>
        <source>Wybranych pomiarów nie ma w archiwum: %1.</source>
        <translation>Chosen measurements not in the archive: %1.</translation>
    </message>
    <message>
        <source>Przyrząd: jeszcze żaden pomiar.</source>
        <translation>Instrument: no measurement yet.</translation>
    </message>
    <message>
        <source>Nie zapisano wizyty: %1</source>
        <translation>The visit was not saved: %1</translation>
    </message>
    <message>
        <source>Zmiany zapisane teraz tworzą rev. %1; rev. %2 pozostaje zatwierdzona.</source>
        <translation>Changes saved now make rev. %1; rev. %2 stays approved.</translation>
    </message>
    <message>
        <source>Obiekt (z archiwum lub wpisany):</source>
        <translation>Object (from the archive or typed):</translation>
    </message>
    <message>
        <source>Obiekt „%1” nie ma pomiarów w archiwum.</source>
        <translation>Object “%1” has no measurements in the archive.</translation>
    </message>
    <message>
        <source>Pomiary obiektu %1</source>
        <translation>Measurements of object %1</translation>
    </message>
    <message>
        <source>Według dat wizyty</source>
        <translation>By the visit&apos;s dates</translation>
    </message>
    <message>
        <source>Numer fabryczny miernika:</source>
        <translation>Meter serial number:</translation>
    </message>
    <message>
        <source>Świadectwo wzorcowania miernika %1</source>
        <translation>Calibration certificate of meter %1</translation>
    </message>
    <message>
        <source>Numer świadectwa:</source>
        <translation>Certificate number:</translation>
    </message>
    <message>
        <source>Ważne do:</source>
        <translation>Valid until:</translation>
    </message>
    <message>
        <source>Nie zapisano świadectwa: %1</source>
        <translation>The certificate was not saved: %1</translation>
    </message>
    <message>
        <source>Nie zapisano protokołu: %1</source>
        <translation>The protocol was not written: %1</translation>
    </message>
    <message>
        <source>Dokument PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Skoroszyt XLSX (*.xlsx)</source>
        <translation>XLSX workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV z kropką (*.csv)</source>
        <translation>Decimal-point CSV (*.csv)</translation>
    </message>
    <message>
        <source>Zatwierdzić może tylko osoba podpisana imieniem (Ustawienia).</source>
        <translation>Only a person who gave their name (Settings) can approve.</translation>
    </message>
    <message>
        <source>Zatwierdzić protokół nr %1 (rev. %2) jako %3? Zatwierdzonego protokołu nie można zmienić; późniejsze zmiany tworzą nową rewizję.</source>
        <translation>Approve protocol no. %1 (rev. %2) as %3? An approved protocol cannot be changed; later changes make a new revision.</translation>
    </message>
    <message>
        <source>Nie zatwierdzono protokołu: %1</source>
        <translation>The protocol was not approved: %1</translation>
    </message>
    <message>
        <source>PDF z załącznikiem wykresów</source>
        <translation>PDF with the appendix of charts</translation>
    </message>
    <message>
        <source> — numer zajęty przez wcześniejszą wizytę: zmień go!</source>
        <translation> — number taken by an earlier visit: change it!</translation>
    </message>
    <message>
        <source>Ten numer nadano wcześniej innej wizycie (zapisanej osobno przed synchronizacją): nadaj tej wizycie inny numer, zanim ją zapiszesz lub zatwierdzisz.</source>
        <translation>This number was given earlier to another visit (saved apart before a sync): give this visit another number before you save or approve it.</translation>
    </message>
</context>
<context>
    <name>DialogRejestr</name>
    <message>
        <source>Rejestr obiektów</source>
        <translation>Asset register</translation>
    </message>
    <message>
        <source>Nazwa</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Poziom</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Interwał [mies.]</source>
        <translation>Interval [months]</translation>
    </message>
    <message>
        <source>Nazwy w mierniku</source>
        <translation>Names on the meter</translation>
    </message>
    <message>
        <source>Dodaj…</source>
        <translation>Add…</translation>
    </message>
    <message>
        <source>Zmień nazwę…</source>
        <translation>Rename…</translation>
    </message>
    <message>
        <source>Przenieś…</source>
        <translation>Move…</translation>
    </message>
    <message>
        <source>Wycofaj</source>
        <translation>Retire</translation>
    </message>
    <message>
        <source>Interwał badań…</source>
        <translation>Test interval…</translation>
    </message>
    <message>
        <source>Tabliczka i uwagi…</source>
        <translation>Nameplate and notes…</translation>
    </message>
    <message>
        <source>Przypisz nazwę z miernika…</source>
        <translation>Map a meter name…</translation>
    </message>
    <message>
        <source>Sugestie przypisań…</source>
        <translation>Suggested mappings…</translation>
    </message>
    <message>
        <source>Historia punktu…</source>
        <translation>Point history…</translation>
    </message>
    <message>
        <source>Drzewo</source>
        <translation>Tree</translation>
    </message>
    <message>
        <source>Miesiąc:</source>
        <translation>Month:</translation>
    </message>
    <message>
        <source>Zapisz CSV…</source>
        <translation>Save CSV…</translation>
    </message>
    <message>
        <source>Zapisz PDF…</source>
        <translation>Save PDF…</translation>
    </message>
    <message>
        <source>Zapisz XLSX…</source>
        <translation>Save XLSX…</translation>
    </message>
    <message>
        <source>Skoroszyt Excel (*.xlsx)</source>
        <translation>Excel workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>Do wykonania</source>
        <translation>Due</translation>
    </message>
    <message>
        <source>Do obserwacji</source>
        <translation>Watch list</translation>
    </message>
    <message>
        <source>Nie można otworzyć archiwum: %1</source>
        <translation>Cannot open the archive: %1</translation>
    </message>
    <message>
        <source> (wycofany)</source>
        <translation> (retired)</translation>
    </message>
    <message>
        <source>Punkt</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>Stan</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Pomiary</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>R dziś</source>
        <translation>R today</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Osiągnie limit</source>
        <translation>Reaches the limit</translation>
    </message>
    <message>
        <source> (bez korekcji temperatury)</source>
        <translation> (no temperature correction)</translation>
    </message>
    <message>
        <source>Ω/rok</source>
        <translation>Ω/year</translation>
    </message>
    <message>
        <source> (już przekroczony)</source>
        <translation> (already crossed)</translation>
    </message>
    <message>
        <source>Dodaj</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Poziom:</source>
        <translation>Level:</translation>
    </message>
    <message>
        <source>Nazwa:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Zmień nazwę</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Przenieś</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Nowe miejsce:</source>
        <translation>New place:</translation>
    </message>
    <message>
        <source>Wycofać „%1” z list terminów i obserwacji? Jego historia zostaje.</source>
        <translation>Retire “%1” from the due and watch lists? Its history is kept.</translation>
    </message>
    <message>
        <source>Interwał badań</source>
        <translation>Test interval</translation>
    </message>
    <message>
        <source>Miesiące między badaniami (0: jak wyżej w drzewie):</source>
        <translation>Months between tests (0: as above in the tree):</translation>
    </message>
    <message>
        <source>Tabliczka i uwagi</source>
        <translation>Nameplate and notes</translation>
    </message>
    <message>
        <source>Naprawy (RRRR-MM-DD, …):</source>
        <translation>Repairs (YYYY-MM-DD, …):</translation>
    </message>
    <message>
        <source>Uwagi:</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>To nie jest data: %1</source>
        <translation>This is not a date: %1</translation>
    </message>
    <message>
        <source>Wybierz punkt pomiarowy.</source>
        <translation>Choose a measured point.</translation>
    </message>
    <message>
        <source>Przypisz nazwę z miernika</source>
        <translation>Map a meter name</translation>
    </message>
    <message>
        <source>Nazwa @ miernik:</source>
        <translation>Name @ meter:</translation>
    </message>
    <message>
        <source>Od dnia (RRRR-MM-DD; puste: od początku):</source>
        <translation>From the day (YYYY-MM-DD; empty: from the beginning):</translation>
    </message>
    <message>
        <source>Brak sugestii: każda nazwa jest przypisana albo nie przypomina żadnej przypisanej.</source>
        <translation>No suggestions: every name is mapped or looks like none that is.</translation>
    </message>
    <message>
        <source>„%1” z miernika %2 przypomina „%3”.
Przypisać do punktu %4?</source>
        <translation>“%1” from meter %2 looks like “%3”.
Map it to the point %4?</translation>
    </message>
    <message>
        <source>Sugestie przypisań</source>
        <translation>Suggested mappings</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Miesiąc %1, stan na %2</source>
        <translation>Month %1, as of %2</translation>
    </message>
    <message>
        <source>Historia punktu: %1</source>
        <translation>Point history: %1</translation>
    </message>
    <message>
        <source>trend %1</source>
        <translation>trend %1</translation>
    </message>
    <message>
        <source>%1 %2 osiągnie %3 (%4 – %5)</source>
        <translation>reaches the %1 %2 on %3 (%4 – %5)</translation>
    </message>
    <message>
        <source>Data i czas</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>Nazwa w mierniku</source>
        <translation>Name on the meter</translation>
    </message>
    <message>
        <source>Miernik</source>
        <translation>Meter</translation>
    </message>
</context>
<context>
    <name>keystore</name>
    <message>
        <source>program zbudowany bez magazynu haseł systemu (qtkeychain)</source>
        <translation>the program was built without the system&apos;s password store (qtkeychain)</translation>
    </message>
</context>
</TS>
