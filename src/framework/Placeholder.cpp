// Framework layer: application, forms and system controls on Win32.
