' The declarant records (emitter, taxpayer, preparer): texts stored and
' read back unchanged, the street number's limit, and what a
' careless host sends: wrong types, arrays, Nothing, Null, huge texts.
Dim emetteur, redevable, redacteur, objet, texte, enorme

On Error Resume Next
Set emetteur = CreateObject("Qx_TVA.Cls_Emetteur")
Set redevable = CreateObject("Qx_TVA.Cls_Redevable")
Set redacteur = CreateObject("Qx_TVA.Cls_Redacteur")

' A new record holds empty texts and keeps what it is given, accents
' included. (Every property's name, identifier and slot: identite_test.)
texte = "Soci" & e_aigu & "t" & e_aigu
Verifier Err.Number = 0 And emetteur.vNom = "" And redevable.vAdr_Ville = "" And redacteur.vAdr_Voie = "", "trois enregistrements crees, textes vides (" & Err.Number & ")"
emetteur.vNom = texte & " vNom"
redevable.vAdr_Ville = texte & " vAdr_Ville"
redacteur.vAdr_Voie = texte & " vAdr_Voie"
Verifier Err.Number = 0 And emetteur.vNom = texte & " vNom" And redevable.vAdr_Ville = texte & " vAdr_Ville" And _
    redacteur.vAdr_Voie = texte & " vAdr_Voie", "textes rendus tels quels"

' The street number: at most 9998, larger ones dropped silently.
For Each objet In Array(redevable, redacteur)
    Verifier objet.vAdr_Numero = 0 And VarType(objet.vAdr_Numero) = vbInteger, "numero 0 en Integer au depart"
    objet.vAdr_Numero = 9998
    objet.vAdr_Numero = 9999
    Verifier objet.vAdr_Numero = 9998, "9999 ignore"
    objet.vAdr_Numero = -1
    Verifier objet.vAdr_Numero = -1, "numero negatif garde"
    objet.vAdr_Numero = "12"
    Verifier objet.vAdr_Numero = 12, "texte numerique converti"
    VerifierSucces "numeros sans erreur"
Next

' What a careless host sends: a numbered error, the value kept.
redevable.vAdr_Numero = 40000
VerifierErreur 6, "numero hors de 16 bits"
redevable.vAdr_Numero = "douze"
VerifierErreur 13, "numero non numerique"
redevable.vAdr_Numero = Null
VerifierErreur 94, "numero Null"
redevable.vAdr_Numero = Array(1, 2)
VerifierErreur 13, "tableau pour un numero"
Verifier redevable.vAdr_Numero = 12, "numero garde apres les refus"
emetteur.vNom = Array("a", "b")
VerifierErreur 13, "tableau pour un texte"
emetteur.vNom = Nothing
VerifierErreur 91, "Nothing pour un texte"
emetteur.vNom = emetteur
VerifierErreur 13, "un objet pour un texte"
emetteur.vNom = Null
VerifierErreur 94, "Null pour un texte"
Verifier emetteur.vNom = "Soci" & e_aigu & "t" & e_aigu & " vNom", "texte garde apres les refus"
emetteur.vNom = 12.5
Verifier Err.Number = 0 And emetteur.vNom = CStr(12.5), "nombre pour un texte : son texte"
Err.Clear

' A huge text (two million characters) comes back whole; the euro sign too.
enorme = String(2000000, "x") & Chr(128)
redacteur.vAdr_Voie = enorme
texte = redacteur.vAdr_Voie
Verifier Err.Number = 0 And Len(texte) = 2000001 And texte = enorme, "texte enorme rendu entier (" & Len(texte) & ")"

' A member that does not exist.
objet = emetteur.vInexistant
Verifier Err.Number = 438, "membre inconnu (" & Err.Number & ")"
Err.Clear
On Error GoTo 0
Terminer "enregistrements"
