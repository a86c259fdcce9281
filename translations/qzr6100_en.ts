<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AddressResetDialog</name>
    <message>
        <source>Baudrate and address of the instrument</source>
        <translation>Baud rate and address of the instrument</translation>
    </message>
    <message>
        <source>Only for QZR6100x-S.   </source>
        <translation>Only for QZR6100x-S.   </translation>
    </message>
    <message>
        <source>This setting can only be connected to a single instrument,</source>
        <translation>Only one instrument may be connected for this setting,</translation>
    </message>
    <message>
        <source>To change the operation may take some time.</source>
        <translation>and the change may take some time.</translation>
    </message>
    <message>
        <source>Baudrate:   </source>
        <translation>Baud rate:   </translation>
    </message>
    <message>
        <source>Address:  </source>
        <translation>Address:  </translation>
    </message>
    <message>
        <source>Scanning Slave Device</source>
        <translation>Scan for instruments</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Not available: the instrument takes no request for this. The program&apos;s own baud rate and address are in Options &gt; Program communication settings.</source>
        <translation>Not available: the instrument takes no request for this. The program&apos;s own baud rate and address are in Options &gt; Program communication settings.</translation>
    </message>
</context>
<context>
    <name>AlarmDialog</name>
    <message>
        <source>电压： </source>
        <translation>Voltage: </translation>
    </message>
    <message>
        <source>电流： </source>
        <translation>Current: </translation>
    </message>
    <message>
        <source>功率： </source>
        <translation>Power: </translation>
    </message>
    <message>
        <source>PF： </source>
        <translation>PF: </translation>
    </message>
    <message>
        <source>上限值： </source>
        <translation>Upper limit: </translation>
    </message>
    <message>
        <source>下限值： </source>
        <translation>Lower limit: </translation>
    </message>
    <message>
        <source>状态：没有同步</source>
        <translation>Status: not synchronized</translation>
    </message>
    <message>
        <source>正在传输数据到仪器。</source>
        <translation>Sending the data to the instrument.</translation>
    </message>
    <message>
        <source>与仪器数据同步失败，仪器已经关闭或和电脑还没有正常连接。</source>
        <translation>Could not read the data of the instrument: it is switched off or not properly connected to the computer.</translation>
    </message>
    <message>
        <source>Communication failure with the instrument, the instrument has been turned off, or not properly connected.</source>
        <translation>Communication with the instrument failed: it is switched off or not properly connected.</translation>
    </message>
    <message>
        <source>报警值设定</source>
        <translation>Alarm limits</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>读仪器数据</source>
        <translation>Read from instrument</translation>
    </message>
    <message>
        <source>保存到仪器</source>
        <translation>Save to instrument</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Request data!......</source>
        <translation>Requesting data...</translation>
    </message>
    <message>
        <source>正在请求仪器数据......</source>
        <translation>Requesting the data of the instrument...</translation>
    </message>
</context>
<context>
    <name>CalibrationCommands</name>
    <message>
        <source>窄频</source>
        <translation>Narrowband</translation>
    </message>
    <message>
        <source>宽频</source>
        <translation>Broadband</translation>
    </message>
    <message>
        <source>请求读失败，仪器和电脑还没有连接。</source>
        <translation>The read request failed: the instrument is not connected to the computer.</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>  角差不能大于30度，数据无效!    </source>
        <translation>  The angle difference cannot be more than 30 degrees; the value is invalid.    </translation>
    </message>
    <message>
        <source>  角差不能小于-30度，数据无效!    </source>
        <translation>  The angle difference cannot be less than -30 degrees; the value is invalid.    </translation>
    </message>
    <message>
        <source>与仪器数据同步失败，仪器已经关闭或和电脑还没有正常连接。</source>
        <translation>Could not read the data of the instrument: it is switched off or not properly connected to the computer.</translation>
    </message>
</context>
<context>
    <name>CalibrationWindow</name>
    <message>
        <source>第一档</source>
        <translation>Range 1</translation>
    </message>
    <message>
        <source>第二档</source>
        <translation>Range 2</translation>
    </message>
    <message>
        <source>第三档</source>
        <translation>Range 3</translation>
    </message>
    <message>
        <source>第四档</source>
        <translation>Range 4</translation>
    </message>
    <message>
        <source>The instrument settings window is not available.</source>
        <translation>The instrument settings window is not available.</translation>
    </message>
    <message>
        <source>CalibrateForm</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>开锁</source>
        <translation>Unlock</translation>
    </message>
    <message>
        <source>恢复出厂</source>
        <translation>Factory defaults</translation>
    </message>
    <message>
        <source>单次测试</source>
        <translation>Single test</translation>
    </message>
    <message>
        <source>连续测试</source>
        <translation>Continuous test</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Sampling is not available.</source>
        <translation>Sampling is not available.</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>校准</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>电压：  </source>
        <translation>Voltage:  </translation>
    </message>
    <message>
        <source>实测相位： </source>
        <translation>Measured phase: </translation>
    </message>
    <message>
        <source> 电流相位校准 </source>
        <translation> Current phase calibration </translation>
    </message>
    <message>
        <source>窄频</source>
        <translation>Narrowband</translation>
    </message>
    <message>
        <source>宽频</source>
        <translation>Broadband</translation>
    </message>
    <message>
        <source>幅度校准：    </source>
        <translation>Amplitude calibration:    </translation>
    </message>
    <message>
        <source>电流：  </source>
        <translation>Current:  </translation>
    </message>
    <message>
        <source>相位校准：    </source>
        <translation>Phase calibration:    </translation>
    </message>
    <message>
        <source>角度转时间(QZR6300专用）  </source>
        <translation>Angle as time (QZR6300 only)  </translation>
    </message>
    <message>
        <source>写</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>读</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>窄频： </source>
        <translation>Narrowband: </translation>
    </message>
    <message>
        <source>宽频： </source>
        <translation>Broadband: </translation>
    </message>
    <message>
        <source>温度选项</source>
        <translation>Temperature options</translation>
    </message>
    <message>
        <source>开启温度补偿</source>
        <translation>Temperature compensation on</translation>
    </message>
    <message>
        <source>关闭温度补偿</source>
        <translation>Temperature compensation off</translation>
    </message>
    <message>
        <source>校准常温</source>
        <translation>Calibrate at room temperature</translation>
    </message>
    <message>
        <source>校准低温</source>
        <translation>Calibrate at low temperature</translation>
    </message>
</context>
<context>
    <name>ChannelPanel</name>
    <message>
        <source>Value: </source>
        <translation>Value: </translation>
    </message>
    <message>
        <source>Show or hide %1</source>
        <translation>Show or hide %1</translation>
    </message>
    <message>
        <source>Enlarge %1 (scale up)</source>
        <translation>Enlarge %1 (scale up)</translation>
    </message>
    <message>
        <source>Reduce %1 (scale down)</source>
        <translation>Reduce %1 (scale down)</translation>
    </message>
</context>
<context>
    <name>CommunicationDialog</name>
    <message>
        <source>Program communication settings</source>
        <translation>Program communication settings</translation>
    </message>
    <message>
        <source> Scanning Communication port</source>
        <translation> Scan the ports</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>BaudRate</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source> Communication Port </source>
        <translation> Communication Port </translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Instruments Address（1-255）：  </source>
        <translation>Instrument address (1-255):  </translation>
    </message>
</context>
<context>
    <name>EnterInfoDialog</name>
    <message>
        <source>Enter the print information</source>
        <translation>Enter the print information</translation>
    </message>
    <message>
        <source>Project Name:</source>
        <translation>Project Name:</translation>
    </message>
    <message>
        <source>Testing organization:</source>
        <translation>Testing organization:</translation>
    </message>
    <message>
        <source>Test by:</source>
        <translation>Test by:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <source>F</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>The report information cannot be saved to %1: %2</source>
        <translation>The report information cannot be saved to %1: %2</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export EXCEL file</source>
        <translation>Export EXCEL file</translation>
    </message>
    <message>
        <source>Export CSV file</source>
        <translation>Export CSV file</translation>
    </message>
    <message>
        <source>Excel File(*.xlsx);;所有文件(*.*)</source>
        <translation>Excel workbooks (*.xlsx);;All files (*)</translation>
    </message>
    <message>
        <source>CSV File(*.csv);;所有文件(*.*)</source>
        <translation>CSV files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>The data could not be exported to %1: %2</source>
        <translation>The data could not be exported to %1: %2</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Exporting %1 samples to %2...</source>
        <translation>Exporting %1 samples to %2...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>Cancelling...</translation>
    </message>
    <message>
        <source>Compressing the workbook...</source>
        <translation>Compressing the workbook...</translation>
    </message>
    <message>
        <source>Data export to complete. Sure to save it?</source>
        <translation>The export is complete. Save the file?</translation>
    </message>
    <message>
        <source>Save the file</source>
        <translation>Save the file</translation>
    </message>
</context>
<context>
    <name>HarmonicTable</name>
    <message>
        <source>         Order</source>
        <translation>         Order</translation>
    </message>
    <message>
        <source>     Voltage RMS</source>
        <translation>     Voltage RMS</translation>
    </message>
    <message>
        <source>     Voltage Percentage</source>
        <translation>     Voltage Percentage</translation>
    </message>
    <message>
        <source>     Current RMS</source>
        <translation>     Current RMS</translation>
    </message>
    <message>
        <source>     Current Percentage</source>
        <translation>     Current Percentage</translation>
    </message>
</context>
<context>
    <name>HarmonicWindow</name>
    <message>
        <source> Harmonic Report </source>
        <translation> Harmonic table </translation>
    </message>
</context>
<context>
    <name>InstrumentSettingsCommands</name>
    <message>
        <source>Angle difference</source>
        <translation>Angle difference</translation>
    </message>
    <message>
        <source>Current transformer ratio</source>
        <translation>Current transformer ratio</translation>
    </message>
    <message>
        <source>Voltage transformer ratio</source>
        <translation>Voltage transformer ratio</translation>
    </message>
    <message>
        <source>Angle difference is not greater than 30 degrees, the data is invalid!</source>
        <translation>The angle difference cannot be more than 30 degrees; the value is invalid.</translation>
    </message>
    <message>
        <source>Angle difference can not be less than -30 degrees, the data is invalid!</source>
        <translation>The angle difference cannot be less than -30 degrees; the value is invalid.</translation>
    </message>
    <message>
        <source>Status: Broadband</source>
        <translation>Status: Broadband</translation>
    </message>
    <message>
        <source>Status: narrowband</source>
        <translation>Status: Narrowband</translation>
    </message>
    <message>
        <source>Data is being transmitted to the instrument</source>
        <translation>Sending the data to the instrument</translation>
    </message>
    <message>
        <source>Is requesting instrument data ......</source>
        <translation>Requesting the data of the instrument...</translation>
    </message>
</context>
<context>
    <name>InstrumentSettingsWindow</name>
    <message>
        <source>Instrument settings</source>
        <translation>Instrument settings</translation>
    </message>
    <message>
        <source>Current Bandwidth </source>
        <translation>Current bandwidth </translation>
    </message>
    <message>
        <source> Narrowband</source>
        <translation> Narrowband</translation>
    </message>
    <message>
        <source> Broadband</source>
        <translation> Broadband</translation>
    </message>
    <message>
        <source> THD Algorithm</source>
        <translation> THD Algorithm</translation>
    </message>
    <message>
        <source>  %F  Fundamental</source>
        <translation>  %F  Fundamental</translation>
    </message>
    <message>
        <source>  %R  RMS</source>
        <translation>  %R  RMS</translation>
    </message>
    <message>
        <source>Saved to instrument</source>
        <translation>Save to instrument</translation>
    </message>
    <message>
        <source>Read from instrument</source>
        <translation>Read from instrument</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>还没有与仪器同步数据！</source>
        <translation>Not yet synchronized with the instrument.</translation>
    </message>
    <message>
        <source>  External current transformer </source>
        <translation>  External current transformer </translation>
    </message>
    <message>
        <source> 50 Hz </source>
        <translation> 50 Hz </translation>
    </message>
    <message>
        <source> 60 Hz </source>
        <translation> 60 Hz </translation>
    </message>
    <message>
        <source> 50Hz </source>
        <translation> 50Hz </translation>
    </message>
    <message>
        <source>Angle difference  </source>
        <translation>Angle difference  </translation>
    </message>
    <message>
        <source>Deg（±30）</source>
        <translation>degrees (±30)</translation>
    </message>
    <message>
        <source>Reference frequency </source>
        <translation>Reference frequency </translation>
    </message>
    <message>
        <source>Ratio    </source>
        <translation>Ratio    </translation>
    </message>
    <message>
        <source>When not connected to an external transformer, 
The input angle difference 0, fill 1 ratio.  </source>
        <translation>Without an external transformer,
enter angle difference 0 and ratio 1.</translation>
    </message>
    <message>
        <source>  External voltage transformer </source>
        <translation>  External voltage transformer </translation>
    </message>
    <message>
        <source>Ratio  </source>
        <translation>Ratio  </translation>
    </message>
    <message>
        <source> Display filter </source>
        <translation> Display filter </translation>
    </message>
    <message>
        <source>Trun On filter</source>
        <translation>Turn on filter</translation>
    </message>
    <message>
        <source>Filter coefficient </source>
        <translation>Filter coefficient </translation>
    </message>
    <message>
        <source>Current Range </source>
        <translation>Current range </translation>
    </message>
    <message>
        <source>Auto  </source>
        <translation>Auto  </translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>Range  </source>
        <translation>Range  </translation>
    </message>
</context>
<context>
    <name>LinkMaster</name>
    <message>
        <source>Communication failure, re-request data!</source>
        <translation>Communication failure; requesting the data again</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Starting Test</source>
        <translation>Starting Test</translation>
    </message>
    <message>
        <source>Single sampling</source>
        <translation>Single sampling</translation>
    </message>
    <message>
        <source>Continuous sampling</source>
        <translation>Continuous sampling</translation>
    </message>
    <message>
        <source>Stop sampling</source>
        <translation>Stop sampling</translation>
    </message>
    <message>
        <source>Harmonic Reports</source>
        <translation>Harmonic table</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Save the test</source>
        <translation>Save the test</translation>
    </message>
    <message>
        <source>Open a test</source>
        <translation>Open a test</translation>
    </message>
    <message>
        <source>Connection: Connecting</source>
        <translation>Connection: Connecting</translation>
    </message>
    <message>
        <source>Status: not synchronized</source>
        <translation>Status: not synchronized</translation>
    </message>
    <message>
        <source>Communication:</source>
        <translation>Communication:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source> Sampled Waveform </source>
        <translation> Sampled Waveform </translation>
    </message>
    <message>
        <source>Measurement Parameters </source>
        <translation>Measurement Parameters </translation>
    </message>
    <message>
        <source> Voltage Harmonic  </source>
        <translation> Voltage Harmonics  </translation>
    </message>
    <message>
        <source> Current Harmonics </source>
        <translation> Current Harmonics </translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Options (&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Program communication settings </source>
        <translation>Program communication settings </translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Instrument settings</source>
        <translation>Instrument settings</translation>
    </message>
    <message>
        <source>Alarm limits</source>
        <translation>Alarm limits</translation>
    </message>
    <message>
        <source>Instrument communication settings</source>
        <translation>Instrument communication settings</translation>
    </message>
    <message>
        <source>Operating (&amp;P)</source>
        <translation>O&amp;peration</translation>
    </message>
    <message>
        <source>Continuous  sampling</source>
        <translation>Continuous sampling</translation>
    </message>
    <message>
        <source>Stop  </source>
        <translation>Stop  </translation>
    </message>
    <message>
        <source>Record </source>
        <translation>Record </translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Velquor Website </source>
        <translation>Velquor website </translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Instrument texts</source>
        <translation>Instrument texts</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Publish measurements (MQTT)…</source>
        <translation>Publish measurements (MQTT)…</translation>
    </message>
    <message>
        <source>No sampling is under way.</source>
        <translation>No sampling is under way.</translation>
    </message>
    <message>
        <source>Sampling is already under way; press Stop first.</source>
        <translation>Sampling is already under way; press Stop first.</translation>
    </message>
</context>
<context>
    <name>PasswordStore</name>
    <message>
        <source>the desktop&apos;s secret store</source>
        <translation>the desktop&apos;s secret store</translation>
    </message>
    <message>
        <source>the file %1 (only you can read it)</source>
        <translation>the file %1 (only you can read it)</translation>
    </message>
    <message>
        <source>The password cannot be stored in %1: %2</source>
        <translation>The password cannot be stored in %1: %2</translation>
    </message>
</context>
<context>
    <name>PortDiscovery</name>
    <message>
        <source>         Through the USB connection QZR6100</source>
        <translation>         Through the USB connection QZR6100</translation>
    </message>
    <message>
        <source> Did not find the default communication port! Please check:

   Instrument power is turned on.
   Connect the instrument of communication lines.
   Change the USB port, in the communication settings reset!</source>
        <translation>The default communication port was not found. Please check:

   that the instrument is switched on,
   that the communication cable is connected to the instrument,
   or use another USB port and choose it again in the communication settings.</translation>
    </message>
    <message>
        <source>Searching port</source>
        <translation>Searching port</translation>
    </message>
    <message>
        <source>Connection failed</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>Port is open</source>
        <translation>Port is open</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Connection failed!</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>The communication settings cannot be saved to %1:
%2
They apply until the program ends.</source>
        <translation>The communication settings cannot be saved to %1:
%2
They apply until the program ends.</translation>
    </message>
</context>
<context>
    <name>PowerReport</name>
    <message>
        <source> The harmonic content </source>
        <translation> Harmonic content </translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>RMS</source>
        <translation>RMS</translation>
    </message>
    <message>
        <source>Percent</source>
        <translation>Percent</translation>
    </message>
    <message>
        <source> Order</source>
        <translation> Order</translation>
    </message>
    <message>
        <source>  RMS</source>
        <translation>  RMS</translation>
    </message>
    <message>
        <source> Waveform </source>
        <translation> Waveform </translation>
    </message>
    <message>
        <source> Voltage Harmonics </source>
        <translation> Voltage Harmonics </translation>
    </message>
    <message>
        <source> Current Harmonics </source>
        <translation> Current Harmonics </translation>
    </message>
    <message>
        <source> Voltage harmonics </source>
        <translation> Voltage harmonics </translation>
    </message>
    <message>
        <source> 电流谐波分布图 </source>
        <translation> Current harmonics </translation>
    </message>
    <message>
        <source>Project Name: </source>
        <translation>Project Name: </translation>
    </message>
    <message>
        <source>Testing organization: </source>
        <translation>Testing organization: </translation>
    </message>
    <message>
        <source>Test by:</source>
        <translation>Test by:</translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>Test Instruments:Velquor QZR6100</source>
        <translation>Test instrument: Velquor QZR6100</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Temperature:</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>The simulated instrument could not start: %1</source>
        <translation>The simulated instrument could not start: %1</translation>
    </message>
    <message>
        <source>Cannot write the communication log %1: %2</source>
        <translation>Cannot write the communication log %1: %2</translation>
    </message>
    <message>
        <source>The communication log %1 cannot be written any more: %2</source>
        <translation>The communication log %1 cannot be written any more: %2</translation>
    </message>
    <message>
        <source>The language cannot be saved to %1: %2. It applies until the program ends.</source>
        <translation>The language cannot be saved to %1: %2. It applies until the program ends.</translation>
    </message>
</context>
<context>
    <name>PublishDialog</name>
    <message>
        <source>Publish measurements (MQTT)</source>
        <translation>Publish measurements (MQTT)</translation>
    </message>
    <message>
        <source>Publish every measurement to the broker</source>
        <translation>Publish every measurement to the broker</translation>
    </message>
    <message>
        <source>mqtt://HOST[:PORT], or mqtts://HOST[:PORT] for TLS</source>
        <translation>mqtt://HOST[:PORT], or mqtts://HOST[:PORT] for TLS</translation>
    </message>
    <message>
        <source>Broker:</source>
        <translation>Broker:</translation>
    </message>
    <message>
        <source>The bench&apos;s name in the topics qzr6100/NAME/...: letters, digits, - and _</source>
        <translation>The bench&apos;s name in the topics qzr6100/NAME/...: letters, digits, - and _</translation>
    </message>
    <message>
        <source>Bench name:</source>
        <translation>Bench name:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>CA certificate:</source>
        <translation>CA certificate:</translation>
    </message>
    <message>
        <source>Client certificate:</source>
        <translation>Client certificate:</translation>
    </message>
    <message>
        <source>Client key:</source>
        <translation>Client key:</translation>
    </message>
    <message>
        <source>Announce the readouts to Home Assistant (discovery)</source>
        <translation>Announce the readouts to Home Assistant (discovery)</translation>
    </message>
    <message>
        <source>1: each measurement confirmed by the broker</source>
        <translation>1: each measurement confirmed by the broker</translation>
    </message>
    <message>
        <source>0: sent without confirmation</source>
        <translation>0: sent without confirmation</translation>
    </message>
    <message>
        <source>Quality of service:</source>
        <translation>Quality of service:</translation>
    </message>
    <message>
        <source>Connection:</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <source>Measurements:</source>
        <translation>Measurements:</translation>
    </message>
    <message>
        <source>for mqtts:// only</source>
        <translation>for mqtts:// only</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>The password is kept in %1.</source>
        <translation>The password is kept in %1.</translation>
    </message>
    <message>
        <source>The settings cannot be saved: %1</source>
        <translation>The settings cannot be saved: %1</translation>
    </message>
    <message>
        <source>Not publishing: %1</source>
        <translation>Not publishing: %1</translation>
    </message>
    <message>
        <source>Not publishing</source>
        <translation>Not publishing</translation>
    </message>
    <message>
        <source>Connecting to %1</source>
        <translation>Connecting to %1</translation>
    </message>
    <message>
        <source>Connected to %1, publishing under qzr6100/%2/</source>
        <translation>Connected to %1, publishing under qzr6100/%2/</translation>
    </message>
    <message numerus="yes">
        <source>%1; trying again in %n s</source>
        <translation>
            <numerusform>%1; trying again in %n second</numerusform>
            <numerusform>%1; trying again in %n seconds</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; check the settings and apply them again</source>
        <translation>%1; check the settings and apply them again</translation>
    </message>
    <message>
        <source>%1 waiting, %2 published, %3 lost</source>
        <translation>%1 waiting, %2 published, %3 lost</translation>
    </message>
</context>
<context>
    <name>ReadoutPanels</name>
    <message>
        <source>Voltage </source>
        <translation>Voltage </translation>
    </message>
    <message>
        <source>Current </source>
        <translation>Current </translation>
    </message>
    <message>
        <source> Upeak</source>
        <translation> U peak</translation>
    </message>
    <message>
        <source> Ipeak </source>
        <translation> I peak </translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Iphase</source>
        <translation>I phase</translation>
    </message>
    <message>
        <source>Power </source>
        <translation>Power </translation>
    </message>
    <message>
        <source>     S</source>
        <translation>     S</translation>
    </message>
    <message>
        <source>     Q</source>
        <translation>     Q</translation>
    </message>
    <message>
        <source>PF</source>
        <translation>PF</translation>
    </message>
    <message>
        <source>UTHD</source>
        <translation>UTHD</translation>
    </message>
    <message>
        <source> ITHD</source>
        <translation> ITHD</translation>
    </message>
    <message>
        <source>IFF</source>
        <translation>IFF</translation>
    </message>
    <message>
        <source> UFF</source>
        <translation> UFF</translation>
    </message>
    <message>
        <source> KWH</source>
        <translation> kWh</translation>
    </message>
</context>
<context>
    <name>RecordReader</name>
    <message>
        <source>Cannot read the record file %1:
%2</source>
        <translation>Cannot read the record file %1:
%2</translation>
    </message>
    <message>
        <source>Cannot open the record file %1:
%2</source>
        <translation>Cannot open the record file %1:
%2</translation>
    </message>
    <message>
        <source>The record file %1 does not hold one whole record block (%2 bytes); nothing was loaded.</source>
        <translation>The record file %1 does not hold one whole record block (%2 bytes); nothing was loaded.</translation>
    </message>
    <message>
        <source>Its size, %1 bytes, is not a whole number of %2-byte blocks; the last %3 bytes were left out.</source>
        <translation>Its size, %1 bytes, is not a whole number of %2-byte blocks; the last %3 bytes were left out.</translation>
    </message>
    <message>
        <source>It holds %1 blocks, more than the %2 of a full record; only the first %2 were read.</source>
        <translation>It holds %1 blocks, more than the %2 of a full record; only the first %2 were read.</translation>
    </message>
    <message>
        <source>The record length in its last block, %1, is negative; it was read as 0.</source>
        <translation>The record length in its last block, %1, is negative; it was read as 0.</translation>
    </message>
    <message>
        <source>The record length in its last block, %1, is more than the %2 samples a record can hold; it was read as %3.</source>
        <translation>The record length in its last block, %1, is more than the %2 samples a record can hold; it was read as %3.</translation>
    </message>
    <message>
        <source>The record length in its last block, %1, is more than the %2 samples its blocks hold; it was read as %2.</source>
        <translation>The record length in its last block, %1, is more than the %2 samples its blocks hold; it was read as %2.</translation>
    </message>
    <message>
        <source>Reading block %1 failed (%2); the samples from there on were left out.</source>
        <translation>Reading block %1 failed (%2); the samples from there on were left out.</translation>
    </message>
    <message>
        <source>The record file %1 is damaged.
%2
%3 samples were loaded.</source>
        <translation>The record file %1 is damaged.
%2
%3 samples were loaded.</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>Start: </source>
        <translation>Start: </translation>
    </message>
    <message>
        <source>End: </source>
        <translation>End: </translation>
    </message>
</context>
<context>
    <name>RecordReport</name>
    <message>
        <source>Channel signal description: </source>
        <translation>Channels: </translation>
    </message>
    <message>
        <source>CH%1: </source>
        <translation>CH%1: </translation>
    </message>
    <message>
        <source>点</source>
        <translation> points</translation>
    </message>
    <message>
        <source>Channel signal description:</source>
        <translation>Channels:</translation>
    </message>
    <message>
        <source>Note:</source>
        <translation>Note:</translation>
    </message>
    <message>
        <source>Project Name: </source>
        <translation>Project Name: </translation>
    </message>
    <message>
        <source>Test Organization:</source>
        <translation>Testing organization:</translation>
    </message>
    <message>
        <source>Test by:</source>
        <translation>Test by:</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>Test Instruments:Velquor QZR6100</source>
        <translation>Test instrument: Velquor QZR6100</translation>
    </message>
    <message>
        <source>Ambient temperature:</source>
        <translation>Ambient temperature:</translation>
    </message>
</context>
<context>
    <name>RecordSettings</name>
    <message>
        <source> Voltage</source>
        <translation> Voltage</translation>
    </message>
    <message>
        <source> Current</source>
        <translation> Current</translation>
    </message>
    <message>
        <source> Power</source>
        <translation> Power</translation>
    </message>
    <message>
        <source> Apparent power</source>
        <translation> Apparent power</translation>
    </message>
    <message>
        <source> Reactive power</source>
        <translation> Reactive power</translation>
    </message>
    <message>
        <source> Current phase</source>
        <translation> Current phase</translation>
    </message>
    <message>
        <source> Frequency</source>
        <translation> Frequency</translation>
    </message>
    <message>
        <source> Power Factor</source>
        <translation> Power Factor</translation>
    </message>
    <message>
        <source> UTHD</source>
        <translation> UTHD</translation>
    </message>
    <message>
        <source> ITHD</source>
        <translation> ITHD</translation>
    </message>
    <message>
        <source> Temperature 1</source>
        <translation> Temperature 1</translation>
    </message>
    <message>
        <source> Temperature 2</source>
        <translation> Temperature 2</translation>
    </message>
    <message>
        <source> Temperature 3</source>
        <translation> Temperature 3</translation>
    </message>
    <message>
        <source>Step: 1S</source>
        <translation>Step: 1 s</translation>
    </message>
    <message>
        <source>Step: 2S</source>
        <translation>Step: 2 s</translation>
    </message>
    <message>
        <source>Step:  2S</source>
        <translation>Step:  2 s</translation>
    </message>
    <message>
        <source>Step: 3S</source>
        <translation>Step: 3 s</translation>
    </message>
    <message>
        <source>Step:  3S</source>
        <translation>Step:  3 s</translation>
    </message>
    <message>
        <source>Step: 4S</source>
        <translation>Step: 4 s</translation>
    </message>
    <message>
        <source>Step:  4S</source>
        <translation>Step:  4 s</translation>
    </message>
    <message>
        <source>Step: 5S</source>
        <translation>Step: 5 s</translation>
    </message>
    <message>
        <source>Step:  5S</source>
        <translation>Step:  5 s</translation>
    </message>
    <message>
        <source>Step: 6S</source>
        <translation>Step: 6 s</translation>
    </message>
    <message>
        <source>Step:  6S</source>
        <translation>Step:  6 s</translation>
    </message>
    <message>
        <source>Step: 7S</source>
        <translation>Step: 7 s</translation>
    </message>
    <message>
        <source>Step:  7S</source>
        <translation>Step:  7 s</translation>
    </message>
    <message>
        <source>Step: 8S</source>
        <translation>Step: 8 s</translation>
    </message>
    <message>
        <source>Step:  8S</source>
        <translation>Step:  8 s</translation>
    </message>
    <message>
        <source>Step: 9S</source>
        <translation>Step: 9 s</translation>
    </message>
    <message>
        <source>Step:  9S</source>
        <translation>Step:  9 s</translation>
    </message>
    <message>
        <source>Step: 10S</source>
        <translation>Step: 10 s</translation>
    </message>
    <message>
        <source>Step:  10S</source>
        <translation>Step:  10 s</translation>
    </message>
    <message>
        <source>Step: 15S</source>
        <translation>Step: 15 s</translation>
    </message>
    <message>
        <source>Step:  15S</source>
        <translation>Step:  15 s</translation>
    </message>
    <message>
        <source>Step: 30S</source>
        <translation>Step: 30 s</translation>
    </message>
    <message>
        <source>Step:  30S</source>
        <translation>Step:  30 s</translation>
    </message>
    <message>
        <source>Save Setp:10S</source>
        <translation>Save step: 10 s</translation>
    </message>
    <message>
        <source>Save Setp:  10S</source>
        <translation>Save step:  10 s</translation>
    </message>
    <message>
        <source>Save Setp:15S</source>
        <translation>Save step: 15 s</translation>
    </message>
    <message>
        <source>Save Setp:  15S</source>
        <translation>Save step:  15 s</translation>
    </message>
    <message>
        <source>Save Setp:20S</source>
        <translation>Save step: 20 s</translation>
    </message>
    <message>
        <source>Save Setp:  20S</source>
        <translation>Save step:  20 s</translation>
    </message>
    <message>
        <source>Save Setp:25S</source>
        <translation>Save step: 25 s</translation>
    </message>
    <message>
        <source>Save Setp:  25S</source>
        <translation>Save step:  25 s</translation>
    </message>
    <message>
        <source>Save Setp:30S</source>
        <translation>Save step: 30 s</translation>
    </message>
    <message>
        <source>Save Setp:  30S</source>
        <translation>Save step:  30 s</translation>
    </message>
    <message>
        <source>SaveSetp:60S</source>
        <translation>Save step: 60 s</translation>
    </message>
    <message>
        <source>Save Setp:  60S</source>
        <translation>Save step:  60 s</translation>
    </message>
    <message>
        <source>You choose the temperature input, 

Make sure your computer is connected to VELQUOR production OXV series multi-channel temperature instrumentation!</source>
        <translation>You chose a temperature input.

Make sure the computer is connected to a Velquor OXV series multi-channel temperature instrument.</translation>
    </message>
</context>
<context>
    <name>RecordSettingsDialog</name>
    <message>
        <source>Record Seting</source>
        <translation>Record settings</translation>
    </message>
    <message>
        <source>Input selection</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>CH%1 </source>
        <translation>CH%1 </translation>
    </message>
    <message>
        <source>Unfinished</source>
        <translation>Not available</translation>
    </message>
    <message>
        <source>Temperature input interface</source>
        <translation>Temperature input interface</translation>
    </message>
    <message>
        <source>Sampling Step</source>
        <translation>Sampling step</translation>
    </message>
    <message>
        <source>Save setp</source>
        <translation>Save step</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>The record settings could not be stored in %1:
%2</source>
        <translation>The record settings could not be stored in %1:
%2</translation>
    </message>
</context>
<context>
    <name>RecordWindow</name>
    <message>
        <source>Velquor Record File (.vqr) (*.vqr)</source>
        <translation>Velquor record files (*.vqr)</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Start:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>End:</source>
        <translation>End:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Display Range: Positive</source>
        <translation>Display Range: Positive</translation>
    </message>
    <message>
        <source>New</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Open a record file</source>
        <translation>Open a record file</translation>
    </message>
    <message>
        <source>New record file</source>
        <translation>New record file</translation>
    </message>
    <message>
        <source>Print the record report</source>
        <translation>Print the record report</translation>
    </message>
    <message>
        <source>Record settings</source>
        <translation>Record settings</translation>
    </message>
    <message>
        <source>Start recording</source>
        <translation>Start recording</translation>
    </message>
    <message>
        <source>Stop recording</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>Back (towards the newest samples)</source>
        <translation>Back (towards the newest samples)</translation>
    </message>
    <message>
        <source>Forward (towards older samples)</source>
        <translation>Forward (towards older samples)</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Switch between the recording and an opened record file</source>
        <translation>Switch between the recording and an opened record file</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Export EXCEL file</source>
        <translation>Export EXCEL file</translation>
    </message>
    <message>
        <source>Export CSV file</source>
        <translation>Export CSV file</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Options (&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Seting</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>View (&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Zoom Out forward </source>
        <translation>Zoom in </translation>
    </message>
    <message>
        <source>Zoom in Back</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Operating (&amp;R)</source>
        <translation>&amp;Recording</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Recorded waveforms</source>
        <translation>Recorded waveforms</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>单击选择数据显示范围</source>
        <translation>Click to choose the range of values shown</translation>
    </message>
    <message>
        <source>Zoom (double-click the chart to hide)</source>
        <translation>Zoom (double-click the chart to hide)</translation>
    </message>
    <message>
        <source> Parameter </source>
        <translation> Parameter </translation>
    </message>
    <message>
        <source>Points date and time :  </source>
        <translation>Date and time of the point:  </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>Time: </source>
        <translation>Time: </translation>
    </message>
    <message>
        <source>Value: </source>
        <translation>Value: </translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <source>Record</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>File already exists, overwrite?</source>
        <translation>File already exists, overwrite?</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>File exists</translation>
    </message>
    <message>
        <source>Could not create the record file %1:
%2</source>
        <translation>Could not create the record file %1:
%2</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>To start the recording must be in continuous sampling mode, records do not start!</source>
        <translation>Recording needs continuous sampling; the recording does not start.</translation>
    </message>
    <message>
        <source>Please Create a new record file !</source>
        <translation>Please create a new record file first.</translation>
    </message>
    <message>
        <source>Recorded data has exceeded the maximum file limit, create a new file and start again.</source>
        <translation>The record file is full; create a new file and start again.</translation>
    </message>
    <message>
        <source>You have to stop the continuous sampling, record stop!</source>
        <translation>Continuous sampling was stopped; the recording stops.</translation>
    </message>
    <message>
        <source>Could not save the record file %1:
%2
The samples are kept in memory; saving is tried again at the next save step.</source>
        <translation>Could not save the record file %1:
%2
The samples are kept in memory; saving is tried again at the next save step.</translation>
    </message>
    <message>
        <source>1 sample is</source>
        <translation>1 sample is</translation>
    </message>
    <message>
        <source>%1 samples are</source>
        <translation>%1 samples are</translation>
    </message>
    <message>
        <source>The record file %1 could not be saved:
%2
%3 not on disk and will be lost.

Start the new record file anyway?
(No keeps the current record; saving it is tried again at each save step.)</source>
        <translation>The record file %1 could not be saved:
%2
%3 not on disk and will be lost.

Start the new record file anyway?
(No keeps the current record; saving it is tried again at each save step.)</translation>
    </message>
</context>
<context>
    <name>RegisterMap</name>
    <message>
        <source>Read the request failed, instruments and computers have not connected.</source>
        <translation>The read request failed: the instrument is not connected to the computer.</translation>
    </message>
</context>
<context>
    <name>ReportFrame</name>
    <message>
        <source>Project Name:</source>
        <translation>Project Name:</translation>
    </message>
    <message>
        <source>Testing organization:</source>
        <translation>Testing organization:</translation>
    </message>
    <message>
        <source>Test by:</source>
        <translation>Test by:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>Project Name: </source>
        <translation>Project Name: </translation>
    </message>
    <message>
        <source>Testing organization: </source>
        <translation>Testing organization: </translation>
    </message>
    <message>
        <source>Test by: </source>
        <translation>Test by: </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>Temperature: </source>
        <translation>Temperature: </translation>
    </message>
    <message>
        <source>Test Instruments:Velquor QZR6100</source>
        <translation>Test instrument: Velquor QZR6100</translation>
    </message>
    <message>
        <source>Page 1/1</source>
        <translation>Page 1/1</translation>
    </message>
</context>
<context>
    <name>ReportOutput</name>
    <message>
        <source>The printer could not be opened.</source>
        <translation>The printer could not be opened.</translation>
    </message>
    <message>
        <source>The page could not be finished.</source>
        <translation>The page could not be finished.</translation>
    </message>
</context>
<context>
    <name>ReportTexts</name>
    <message>
        <source> Voltage: </source>
        <translation> Voltage: </translation>
    </message>
    <message>
        <source> Voltage:</source>
        <translation> Voltage:</translation>
    </message>
    <message>
        <source> Peak Voltage: </source>
        <translation> Peak Voltage: </translation>
    </message>
    <message>
        <source> Peak Voltage:</source>
        <translation> Peak Voltage:</translation>
    </message>
    <message>
        <source> Frequency: </source>
        <translation> Frequency: </translation>
    </message>
    <message>
        <source> Frequency:</source>
        <translation> Frequency:</translation>
    </message>
    <message>
        <source> Current: </source>
        <translation> Current: </translation>
    </message>
    <message>
        <source> Current:</source>
        <translation> Current:</translation>
    </message>
    <message>
        <source> Peak Current: </source>
        <translation> Peak Current: </translation>
    </message>
    <message>
        <source> Peak Current:</source>
        <translation> Peak Current:</translation>
    </message>
    <message>
        <source> Current Phase: </source>
        <translation> Current Phase: </translation>
    </message>
    <message>
        <source> Current Phase:</source>
        <translation> Current Phase:</translation>
    </message>
    <message>
        <source> Power: </source>
        <translation> Power: </translation>
    </message>
    <message>
        <source> Power:</source>
        <translation> Power:</translation>
    </message>
    <message>
        <source> Power Factor: </source>
        <translation> Power Factor: </translation>
    </message>
    <message>
        <source> Power Factor:</source>
        <translation> Power Factor:</translation>
    </message>
    <message>
        <source> Apparent Power: </source>
        <translation> Apparent Power: </translation>
    </message>
    <message>
        <source> Apparent Power:</source>
        <translation> Apparent Power:</translation>
    </message>
    <message>
        <source> Reactive Power: </source>
        <translation> Reactive Power: </translation>
    </message>
    <message>
        <source> Reactive Power:</source>
        <translation> Reactive Power:</translation>
    </message>
    <message>
        <source>Voltage Form Factor: </source>
        <translation>Voltage Form Factor: </translation>
    </message>
    <message>
        <source> Voltage Form Factor:</source>
        <translation> Voltage Form Factor:</translation>
    </message>
    <message>
        <source>Current Form Factor: </source>
        <translation>Current Form Factor: </translation>
    </message>
    <message>
        <source> Current Form Factor:</source>
        <translation> Current Form Factor:</translation>
    </message>
    <message>
        <source>Voltage THD: </source>
        <translation>Voltage THD: </translation>
    </message>
    <message>
        <source> Voltage THD:</source>
        <translation> Voltage THD:</translation>
    </message>
    <message>
        <source>Current THD: </source>
        <translation>Current THD: </translation>
    </message>
    <message>
        <source> Current THD:</source>
        <translation> Current THD:</translation>
    </message>
    <message>
        <source>Power Analysis Report</source>
        <translation>Power Analysis Report</translation>
    </message>
    <message>
        <source>Record Report</source>
        <translation>Record Report</translation>
    </message>
</context>
<context>
    <name>ReportWindow</name>
    <message>
        <source>PrinterForm</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Print the report on the printer chosen in Printer Setup</source>
        <translation>Print the report on the printer chosen in Printer Setup</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>Write the printed page into a PDF file</source>
        <translation>Write the printed page into a PDF file</translation>
    </message>
    <message>
        <source>Environmental data</source>
        <translation>Report information</translation>
    </message>
    <message>
        <source>Project, organisation, tester, date and temperature of the footer</source>
        <translation>Project, organisation, tester, date and temperature of the footer</translation>
    </message>
    <message>
        <source>Printer Setup</source>
        <translation>Printer Setup</translation>
    </message>
    <message>
        <source>Choose the printer, the paper and the orientation</source>
        <translation>Choose the printer, the paper and the orientation</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>No printer is set up on this computer. Choose one in Printer Setup, or use Save as PDF.</source>
        <translation>No printer is set up on this computer. Choose one in Printer Setup, or use Save as PDF.</translation>
    </message>
    <message>
        <source>The printer reported an error.</source>
        <translation>The printer reported an error.</translation>
    </message>
    <message>
        <source>The report could not be printed on %1: %2</source>
        <translation>The report could not be printed on %1: %2</translation>
    </message>
    <message>
        <source>Printed to %1</source>
        <translation>Printed to %1</translation>
    </message>
    <message>
        <source>Sent to %1</source>
        <translation>Sent to %1</translation>
    </message>
    <message>
        <source>The report could not be saved as %1: %2</source>
        <translation>The report could not be saved as %1: %2</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>Saved as %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ResponseHandler</name>
    <message>
        <source>Successful synchronization</source>
        <translation>Synchronized</translation>
    </message>
    <message>
        <source>Communication success!</source>
        <translation>Communication successful</translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>Receiving data</source>
        <translation>Receiving data </translation>
    </message>
    <message>
        <source>Testing completed</source>
        <translation>Test completed</translation>
    </message>
    <message>
        <source>Broadband</source>
        <translation>Broadband</translation>
    </message>
    <message>
        <source>Narrowband</source>
        <translation>Narrowband</translation>
    </message>
    <message>
        <source>Sending AL1L</source>
        <translation>Sending AL1L</translation>
    </message>
    <message>
        <source>Sending AL2H</source>
        <translation>Sending AL2H</translation>
    </message>
    <message>
        <source>Sending AL2L</source>
        <translation>Sending AL2L</translation>
    </message>
    <message>
        <source>Sending AL3H</source>
        <translation>Sending AL3H</translation>
    </message>
    <message>
        <source>Sending AL3L</source>
        <translation>Sending AL3L</translation>
    </message>
    <message>
        <source>Sending AL4H</source>
        <translation>Sending AL4H</translation>
    </message>
    <message>
        <source>Sending AL4L</source>
        <translation>Sending AL4L</translation>
    </message>
    <message>
        <source>Data transfer is complete.</source>
        <translation>Data transfer is complete.</translation>
    </message>
    <message>
        <source>Data transmission completed.</source>
        <translation>Data transfer completed.</translation>
    </message>
    <message>
        <source>Successfully write data to the instrument</source>
        <translation>The data was written to the instrument.</translation>
    </message>
    <message>
        <source>Successfully triggered</source>
        <translation>Triggered</translation>
    </message>
</context>
<context>
    <name>SamplingController</name>
    <message>
        <source>Request data!</source>
        <translation>Requesting data</translation>
    </message>
</context>
<context>
    <name>StartingPlot</name>
    <message>
        <source>Voltage peak</source>
        <translation>Voltage peak</translation>
    </message>
    <message>
        <source>Current peak</source>
        <translation>Current peak</translation>
    </message>
</context>
<context>
    <name>StartingTest</name>
    <message>
        <source>启动测试</source>
        <translation>Starting Test</translation>
    </message>
    <message>
        <source>    请先停止连续测试！    </source>
        <translation>    Please stop continuous sampling first.    </translation>
    </message>
    <message>
        <source>  单击确定后按下仪器的Starting开关!  </source>
        <translation>  Press Yes, then press the Starting switch on the instrument.  </translation>
    </message>
    <message>
        <source>请求读失败，仪器和电脑还没有连接。</source>
        <translation>The read request failed: the instrument is not connected to the computer.</translation>
    </message>
</context>
<context>
    <name>StartingWindow</name>
    <message>
        <source>启动测试</source>
        <translation>Starting Test</translation>
    </message>
    <message>
        <source>Velquor启动测试文件(.bmp) (*.bmp)</source>
        <translation>Velquor starting-test pictures (*.bmp)</translation>
    </message>
    <message>
        <source>4 (High-current)</source>
        <translation>4 (high current)</translation>
    </message>
    <message>
        <source>1 (Low-current)</source>
        <translation>1 (low current)</translation>
    </message>
    <message>
        <source>Voltage range</source>
        <translation>Voltage range</translation>
    </message>
    <message>
        <source>Current Range</source>
        <translation>Current range</translation>
    </message>
    <message>
        <source>Starting</source>
        <translation>Starting</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>Move left</source>
        <translation>Move left</translation>
    </message>
    <message>
        <source>Move right</source>
        <translation>Move right</translation>
    </message>
    <message>
        <source>Velquor</source>
        <translation>Velquor</translation>
    </message>
    <message>
        <source>Choose a current range first: move the mouse over &quot;Current Range&quot; and pick one of the four.</source>
        <translation>Choose a current range first: move the mouse over &quot;Current Range&quot; and pick one of the four.</translation>
    </message>
    <message>
        <source>发送测试请求</source>
        <translation>Sending the test request</translation>
    </message>
    <message>
        <source>The picture could not be saved as %1: %2</source>
        <translation>The picture could not be saved as %1: %2</translation>
    </message>
    <message>
        <source>Move back through the capture by 320 samples</source>
        <translation>Move back through the capture by 320 samples</translation>
    </message>
    <message>
        <source>Move on through the capture by 320 samples</source>
        <translation>Move on through the capture by 320 samples</translation>
    </message>
    <message>
        <source>Larger step</source>
        <translation>Larger step</translation>
    </message>
    <message>
        <source>Larger step: more samples a point, more of the capture shown</source>
        <translation>Larger step: more samples a point, more of the capture shown</translation>
    </message>
    <message>
        <source>Smaller step</source>
        <translation>Smaller step</translation>
    </message>
    <message>
        <source>Smaller step: fewer samples a point, more detail shown</source>
        <translation>Smaller step: fewer samples a point, more detail shown</translation>
    </message>
</context>
<context>
    <name>StyleDialog</name>
    <message>
        <source> Style </source>
        <translation> Style </translation>
    </message>
    <message>
        <source>Skins</source>
        <translation>Skins</translation>
    </message>
    <message>
        <source>WINDOWS</source>
        <translation>System look</translation>
    </message>
    <message>
        <source>Skin 1</source>
        <translation>Skin 1</translation>
    </message>
    <message>
        <source>Skin 2</source>
        <translation>Skin 2</translation>
    </message>
    <message>
        <source>Skin 3</source>
        <translation>Skin 3</translation>
    </message>
    <message>
        <source>Skin 4</source>
        <translation>Skin 4</translation>
    </message>
    <message>
        <source>Skin 5</source>
        <translation>Skin 5</translation>
    </message>
    <message>
        <source>Skin 6</source>
        <translation>Skin 6</translation>
    </message>
    <message>
        <source> Graphic background </source>
        <translation> Plot background </translation>
    </message>
    <message>
        <source> Black</source>
        <translation> Black</translation>
    </message>
    <message>
        <source> White</source>
        <translation> White</translation>
    </message>
    <message>
        <source> Gray</source>
        <translation> Gray</translation>
    </message>
    <message>
        <source> Scale color </source>
        <translation> Scale color </translation>
    </message>
    <message>
        <source> Blue-green</source>
        <translation> Blue-green</translation>
    </message>
    <message>
        <source> Yellow</source>
        <translation> Yellow</translation>
    </message>
    <message>
        <source> Light Black</source>
        <translation> Dark gray</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>StyleSettings</name>
    <message>
        <source>Skin %1 could not be loaded from %2: %3. The style stays as it was.</source>
        <translation>Skin %1 could not be loaded from %2: %3. The style stays as it was.</translation>
    </message>
    <message>
        <source>The style cannot be saved to %1: %2. It applies until the program ends.</source>
        <translation>The style cannot be saved to %1: %2. It applies until the program ends.</translation>
    </message>
</context>
<context>
    <name>TComm</name>
    <message>
        <source>通讯出现异常！请检查连接是否正确或重新启动程序和仪器。</source>
        <translation>Communication error. Check the connection, or restart the program and the instrument.</translation>
    </message>
    <message>
        <source>Cannot setup comm buffer</source>
        <translation>The buffers of the port cannot be set up.</translation>
    </message>
    <message>
        <source>COM Port has been opened!</source>
        <translation>The port is already open.</translation>
    </message>
    <message>
        <source>COM Port is not opened yet!</source>
        <translation>The port is not open.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>TestFile</name>
    <message>
        <source>Cannot open the test file &quot;%1&quot;: %2</source>
        <translation>Cannot open the test file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Cannot read the test file &quot;%1&quot;: %2</source>
        <translation>Cannot read the test file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a test file: it holds %2 bytes, a test file holds %3.</source>
        <translation>&quot;%1&quot; is not a test file: it holds %2 bytes, a test file holds %3.</translation>
    </message>
    <message>
        <source>Cannot save the test file &quot;%1&quot;: %2</source>
        <translation>Cannot save the test file &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TestFileCommands</name>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Velquor Test File(.vqm) (*.vqm)</source>
        <translation>Velquor test files (*.vqm)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>VelquorFile (*.vqm);;AllFile (*)</source>
        <translation>Velquor test files (*.vqm);;All files (*)</translation>
    </message>
    <message>
        <source>  File already exists, overwrite?  </source>
        <translation>  File already exists, overwrite?  </translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>File exists</translation>
    </message>
</context>
<context>
    <name>TrendChart</name>
    <message>
        <source>Time/DIV=</source>
        <translation>Time/DIV=</translation>
    </message>
    <message>
        <source>CH%1/DIV=</source>
        <translation>CH%1/DIV=</translation>
    </message>
    <message>
        <source>Sampling step:</source>
        <translation>Sampling step:</translation>
    </message>
    <message>
        <source>Start:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>End:</source>
        <translation>End:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Length:</translation>
    </message>
</context>
<context>
    <name>TypedNumber</name>
    <message>
        <source>%1: &quot;%2&quot; is not a number.
Please enter a number such as 1.5; nothing was sent.</source>
        <translation>%1: &quot;%2&quot; is not a number.
Please enter a number such as 1.5; nothing was sent.</translation>
    </message>
</context>
<context>
    <name>UiTranslator</name>
    <message>
        <source>The translation %1 cannot be read.</source>
        <translation>The translation %1 cannot be read.</translation>
    </message>
</context>
<context>
    <name>VersionWindow</name>
    <message>
        <source>Velquor Power Measurement Instruments</source>
        <translation>Velquor Power Measurement Instruments</translation>
    </message>
    <message>
        <source>Version Number : QZR6100_S_01</source>
        <translation>Version number: QZR6100_S_01</translation>
    </message>
    <message>
        <source>Version Title : QZR6100 Software</source>
        <translation>Version title: QZR6100 Software</translation>
    </message>
    <message>
        <source>Date : 2011-10-08</source>
        <translation>Date: 2011-10-08</translation>
    </message>
    <message>
        <source>Wedsite: </source>
        <translation>Website: </translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ViewState</name>
    <message>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Inspection</source>
        <translation>Inspection</translation>
    </message>
    <message>
        <source>Range: P and N</source>
        <translation>Range: P and N</translation>
    </message>
    <message>
        <source>Range: Negative</source>
        <translation>Range: Negative</translation>
    </message>
    <message>
        <source>Range: Positive</source>
        <translation>Range: Positive</translation>
    </message>
</context>
<context>
    <name>WaveformPlot</name>
    <message>
        <source>SEC/DIV:</source>
        <translation>Time/div: </translation>
    </message>
    <message>
        <source>Vol/DIV:</source>
        <translation>Volts/div: </translation>
    </message>
    <message>
        <source>Amp/DIV:</source>
        <translation>Amps/div: </translation>
    </message>
    <message>
        <source>Trigger Source:</source>
        <translation>Trigger: </translation>
    </message>
    <message>
        <source>Vol</source>
        <translation>voltage</translation>
    </message>
</context>
</TS>
