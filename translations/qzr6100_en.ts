<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>MainWindow</name>
    <message>
        <source>Starting Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Single sampling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continuous sampling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop sampling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Harmonic Reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open a test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection: Connecting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status: not synchronized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Sampled Waveform </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Measurement Parameters </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Voltage Harmonic  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Current Harmonics </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options (&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program communication settings </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Style</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Instrument settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alarm limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Instrument communication settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operating (&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continuous  sampling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Velquor Website </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Instrument texts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>English</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>The simulated instrument could not start: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the communication log %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The communication log %1 cannot be written any more: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The language cannot be saved to %1: %2. It applies until the program ends.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReadoutPanels</name>
    <message>
        <source>Voltage </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Upeak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Ipeak </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Iphase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>     S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>     Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UTHD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> ITHD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IFF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> UFF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> KWH</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UiTranslator</name>
    <message>
        <source>The translation %1 cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
